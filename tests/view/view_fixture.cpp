#include "tests/view/view_fixture.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace velto::test {

namespace {

std::string repeat(const std::string& text, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += text;
    return out;
}

std::string sentence_id(const std::string& page, int paragraph)
{
    char id[64];
    std::snprintf(id, sizeof id, "%s-%02d00-0000-0000-0000", page.c_str(), paragraph);
    return id;
}

// An article page with `paragraphs` long paragraphs; the first one holds `first`.
std::string long_article(const std::string& page, const std::string& name, int paragraphs, const std::string& first)
{
    std::string sql = "INSERT INTO T_条 VALUES ('" + page + "', '01A-0100-0000-0000-0000', '" + name +
                      "', '', 0, 0, -1);\n";
    for (int p = 1; p <= paragraphs; ++p) {
        const std::string text = p == 1 ? first
                                        : "建築物の敷地、構造、設備及び用途に関する最低の基準を定めて、国民の生命、"
                                          "健康及び財産の保護を図る。";
        sql += "INSERT INTO T_文 VALUES ('" + sentence_id(page, p) + "', '" + text + "', '', 0, 0, " +
               (p == 1 ? "1" : "0") + ", 0, NULL);\n";
    }
    return sql;
}

} // namespace

std::string generated_page(int n)
{
    char id[16];
    std::snprintf(id, sizeof id, "01A-%04d0000-00", n);
    return id;
}

std::string view_fixture_sql()
{
    std::string sql = R"sql(
INSERT INTO T_法 VALUES ('00A', 'ヴェルト', 'ヴェルト', 'ヴェルト', -1);
INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法（昭和二十五年法律第二百一号）', -1);
INSERT INTO T_法 VALUES ('05K', '国土交通省告示', '告示', '国土交通省告示', -1);
INSERT INTO T_法 VALUES ('09A', '附属法', '附属法', '附属法', -1);
INSERT INTO T_章 VALUES ('01A-0100-0000-0000-0000', '総則', NULL, NULL, NULL, 0);

INSERT INTO T_条 VALUES ('00A-Z0010000-00', '00A-0000-0000-0000-0000', '表紙', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('00A-Z0020000-00', '00A-0000-0000-0000-0000', '凡例', '', 0, 0, -1);
INSERT INTO T_他 VALUES ('00A-Z0010000-00', 1, '<html><body><h1>表紙</h1>
<p><a id="article1" href="http://01A-00010000_VELTO">第1条へ</a></p>
<p><a id="split2" href="http://01A-00040000-01_VELTO">第4条の2頁へ</a></p>
<p><a id="broken" href="http://01A-0001_VELTO">壊れたリンク</a></p>
<p><a id="web" href="https://www.mokume88.jp/mokume88/">サポートサイト</a></p>
<p><a id="mail" href="mailto:support@mokume88.jp">メール</a></p>
<p><a id="news" target="_blank" href="https://www.mokume88.jp/mokume88/rireki/prog/">更新情報</a></p>
<p><a id="legend" target="_blank" href="http://00A-Z0020000_VELTO">凡例へ</a></p>
</body></html>');
INSERT INTO T_他 VALUES ('00A-Z0020000-00', 1, '<html><body><p>凡例のページ</p></body></html>');

INSERT INTO T_条 VALUES ('01A-00020000-00', '01A-0100-0000-0000-0000', '用語の定義', '', 0, 1, -1);
INSERT INTO T_文 VALUES ('01A-00020000-00-0100-0000-0000-0000', '用語の意義は、次のとおりとする。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00020000-00-0200-0000-0000-0000', '全文にだけある二項の本文。', '', 0, 0, 0, 0, NULL);

INSERT INTO T_条 VALUES ('01A-00040000-00', '01A-0100-0000-0000-0000', '分割された条', '第1項', 2, 0, -1);
INSERT INTO T_条 VALUES ('01A-00040000-01', '01A-0100-0000-0000-0000', '', '第2項', 2, 0, -1);
INSERT INTO T_文 VALUES ('01A-00040000-00-0100-0000-0000-0000', '一頁目の本文。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_文 VALUES ('01A-00040000-01-0200-0000-0000-0000', '二頁目の本文。', '', 0, 0, 0, 0, NULL);

INSERT INTO T_条 VALUES ('01A-F0000000-00', '01A-0000-0000-0000-0000', '附則', '', 0, 0, -1);
INSERT INTO T_文 VALUES ('01A-F0000000-00-0100-0000-0000-0000', 'この法律は、公布の日から施行する。', '', 0, 0, 0, 0, NULL);
INSERT INTO T_条 VALUES ('01A-T0010000-00', '01A-0000-0000-0000-0000', '別表第一', '', 0, 0, -1);
INSERT INTO T_条 VALUES ('05K-KD180543-00', '05K-0000-0000-0000-0000', '構造計算の基準', '前文', 2, 0, -1);
INSERT INTO T_条 VALUES ('05K-KD180543-01', '05K-0000-0000-0000-0000', '', '別表', 2, 0, -1);
INSERT INTO T_条 VALUES ('09A-00010000-00', '09A-0000-0000-0000-0000', '目的', '', 0, 0, -1);
INSERT INTO T_文 VALUES ('09A-00010000-00-0100-0000-0000-0000', '最後の頁。', '', 0, 0, 0, 0, NULL);

INSERT INTO T_参 VALUES ('01A-00010000-00-0100-0000-0000-0000', '01A-00030000-00', 1, -1, '', '', 0, 0, 0, 0, 0, NULL, NULL);
)sql";
    sql += long_article("01A-00010000-00", "目的", 24,
                        "この法律は、建築物の基準（[第2条]及び[第3条]に定めるもの（用語を含む。））を定める。");
    sql += long_article("01A-00030000-00", "適用の除外", 24, "この法律の規定は、[第1条]の建築物には適用しない。");
    // Article names of 200 and 201 Shift-JIS bytes.
    sql += long_article("01A-00050000-00", repeat("長", 100), 1, "名の長い条。");
    sql += long_article("01A-00060000-00", "a" + repeat("長", 100), 1, "名の長い条。");
    for (int n = 100; n <= 151; ++n)
        sql += long_article(generated_page(n), "生成された条", 1, "生成された条の本文。");
    return sql;
}

// A picture of one pixel.
const char kPixelGif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01\x00\x00\x00\x00,"
                         "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02"
                         "D\x01\x00;";

void PageViewTest::SetUp()
{
    // The pictures of the split indicator, the pin and the gestures.
    std::filesystem::create_directories(dir.file("images14/system"));
    for (const char* name : {"indicator_red.gif", "indicator_blue.gif", "pin_point.gif", "move_fwrd.gif",
                             "move_back.gif", "move_next.gif", "move_befo.gif", "move_stop.gif"})
        std::ofstream(dir.file("images14/system/") + name, std::ios::binary).write(kPixelGif, sizeof kPixelGif - 1);
    std::vector<std::string> sql{view_fixture_sql()};
    sql.insert(sql.end(), extra_sql.begin(), extra_sql.end());
    build_fixture_db(dir.file("VT2014.m88"), sql);
    doc = std::make_unique<CVeltoDoc>(settings, reporter);
    DocumentOptions options;
    options.program_dir = dir.path();
    ASSERT_TRUE(doc->OnNewDocument(options));
    ASSERT_TRUE(reporter.messages().empty());
    doc->set_status_sink([this](const std::string& caption) { captions.push_back(caption); });
}

void PageViewTest::TearDown()
{
    view.reset();
    doc.reset();
}

void PageViewTest::open_view(std::unique_ptr<C2ndView> made)
{
    view = made ? std::move(made) : std::make_unique<C2ndView>(*doc);
    view->set_navigation_pane(&pane);
    view->set_external_opener([this](const QUrl& url) { opened.push_back(url); });
    QObject::connect(view.get(), &C2ndView::linkFollowed, view.get(), [this](const QString& id, bool shown) {
        last_link = id;
        last_link_shown = shown;
    });
    view->resize(480, 360);
    view->show();
}

void PageViewTest::start()
{
    if (!view)
        open_view();
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    view->OnInitialUpdate();
    ASSERT_TRUE(loaded.wait(kWait));
}

bool PageViewTest::show(const std::string& id)
{
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    if (!view->_show(id))
        return false;
    EXPECT_TRUE(loaded.wait(kWait)) << id;
    // Tests go on with the mouse: the page's reports must reach the view.
    return wait_for_bridge();
}

bool PageViewTest::wait_for_bridge()
{
    return QTest::qWaitFor([&] { return js(QStringLiteral("veltoPage.connected()")).toBool(); }, kWait);
}

QVariant PageViewTest::js(const QString& script)
{
    // The answer may come after a timeout: it must not outlive the test's locals.
    struct Answer {
        bool done = false;
        QVariant value;
    };
    auto answer = std::make_shared<Answer>();
    view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [answer](const QVariant& value) {
        answer->value = value;
        answer->done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer->done; }, kWait)) << script.toStdString();
    return answer->value;
}

QString PageViewTest::page_text() { return js(QStringLiteral("document.body ? document.body.innerText : ''")).toString(); }

bool PageViewTest::has_element(const QString& selector)
{
    return js(QStringLiteral("document.querySelector('%1') !== null").arg(selector)).toBool();
}

bool PageViewTest::click(const QString& selector, bool load)
{
    QSignalSpy handled(view.get(), &C2ndView::linkFollowed);
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    if (!js(QStringLiteral("(function () { var a = document.querySelector('%1'); if (!a) return false; a.click(); "
                           "return true; })()")
                .arg(selector))
             .toBool())
        return false;
    if (handled.count() == 0 && !handled.wait(kWait))
        return false;
    return !load || loaded.count() > 0 || loaded.wait(kWait);
}

bool PageViewTest::mouse_click(const QString& selector, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    const QVariantList box = js(QStringLiteral("(function () { var e = document.querySelector('%1'); if (!e) return []; "
                                               "var r = e.getBoundingClientRect(); "
                                               "return [r.left + r.width / 2, r.top + r.height / 2]; })()")
                                    .arg(selector))
                                 .toList();
    QWidget* target = view->browser()->focusProxy();
    if (box.size() != 2 || !target)
        return false;
    QTest::mouseClick(target, button, modifiers, QPoint(qRound(box[0].toDouble()), qRound(box[1].toDouble())));
    return true;
}

bool PageViewTest::follow(const QString& href, bool load)
{
    QSignalSpy handled(view.get(), &C2ndView::linkFollowed);
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    js(QStringLiteral("(function () { var a = document.createElement('a'); a.href = '%1'; "
                      "document.body.appendChild(a); a.click(); })()")
           .arg(href));
    if (handled.count() == 0 && !handled.wait(kWait))
        return false;
    return !load || loaded.count() > 0 || loaded.wait(kWait);
}

bool PageViewTest::command(int id)
{
    QSignalSpy loaded(view.get(), &C2ndView::pageLoaded);
    const std::string before = view->_current_id();
    view->run_command(id);
    if (view->_current_id() == before && !view->page_loading())
        return false;
    return loaded.wait(kWait);
}

void PageViewTest::scroll_to(int y)
{
    view->_scroll_to(0, y);
    ASSERT_TRUE(wait_scroll(y));
}

int PageViewTest::scroll_y()
{
    int x = 0, y = 0;
    view->_scroll_position(x, y);
    return y;
}

bool PageViewTest::wait_scroll(int y)
{
    return QTest::qWaitFor([&] { return scroll_y() == y; }, kWait);
}

std::vector<std::string> PageViewTest::back_ids() const
{
    std::vector<std::string> ids;
    for (const HistoryEntry& e : doc->history().back())
        ids.push_back(e.id);
    return ids;
}

std::vector<std::string> PageViewTest::forward_ids() const
{
    std::vector<std::string> ids;
    for (const HistoryEntry& e : doc->history().forward())
        ids.push_back(e.id);
    return ids;
}

} // namespace velto::test
