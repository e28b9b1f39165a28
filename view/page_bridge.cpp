#include "view/page_bridge.h"

#include "view/view_resources.h"

#include <QFile>
#include <QJsonDocument>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QStringView>
#include <QWebEngineScriptCollection>

namespace velto {

namespace {

QString resource_text(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// `script` without its comment lines, blank lines and indentation: the engine
// reads half as much at every page. Only whole lines go and line breaks stay,
// so the code means what it meant (neither script has multi-line strings).
QString without_comments(const QString& script)
{
    QString out;
    out.reserve(script.size());
    for (const QStringView line : QStringView(script).split(QLatin1Char('\n'))) {
        const QStringView code = line.trimmed();
        if (code.isEmpty() || code.startsWith(QLatin1String("//")))
            continue;
        out += code;
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace

const QWebEngineScript& PageBridge::page_script()
{
    static const QWebEngineScript script = [] {
        init_view_resources();
        QWebEngineScript s;
        s.setName(QStringLiteral("velto-page"));
        s.setSourceCode(without_comments(resource_text(QStringLiteral(":/qtwebchannel/qwebchannel.js")) +
                                         QLatin1Char('\n') + resource_text(QStringLiteral(":/velto/page_script.js"))));
        s.setInjectionPoint(QWebEngineScript::DocumentCreation);
        s.setWorldId(kWorld);
        s.setRunsOnSubFrames(false);
        return s;
    }();
    return script;
}

PageBridge::PageBridge(QWebEnginePage* page) : QObject(page), page_(page)
{
    auto* channel = new QWebChannel(page);
    channel->registerObject(QStringLiteral("host"), this);
    page->setWebChannel(channel, kWorld);
    page->scripts().insert(page_script());
}

void PageBridge::run(const QString& script, const std::function<void(const QVariant&)>& done) const
{
    if (done)
        page_->runJavaScript(script, kWorld, done);
    else
        page_->runJavaScript(script, kWorld);
}

QString PageBridge::call(const char* function, const QJsonArray& arguments)
{
    QString list = QString::fromUtf8(QJsonDocument(arguments).toJson(QJsonDocument::Compact));
    list = list.mid(1, list.size() - 2); // without the brackets of the array
    return QStringLiteral("(window.veltoPage ? veltoPage.%1(%2) : null)").arg(QLatin1String(function), list);
}

} // namespace velto
