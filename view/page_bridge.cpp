#include "view/page_bridge.h"

#include "view/view_resources.h"

#include <QFile>
#include <QJsonDocument>
#include <QWebChannel>
#include <QWebEnginePage>
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

} // namespace

PageBridge::PageBridge(QWebEnginePage* page) : QObject(page), page_(page)
{
    init_view_resources();
    auto* channel = new QWebChannel(page);
    channel->registerObject(QStringLiteral("host"), this);
    page->setWebChannel(channel, kWorld);

    QWebEngineScript script;
    script.setName(QStringLiteral("velto-page"));
    script.setSourceCode(resource_text(QStringLiteral(":/qtwebchannel/qwebchannel.js")) + QLatin1Char('\n') +
                         resource_text(QStringLiteral(":/velto/page_script.js")));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(kWorld);
    script.setRunsOnSubFrames(false);
    page->scripts().insert(script);
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
