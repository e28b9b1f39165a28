// The object that the script of every page reaches through the web channel as
// "host". It only passes the page's events on as signals.
#pragma once

#include <QObject>
#include <QString>

namespace velto {

class PageBridge : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

public slots:
    // The page window got the focus; `address` is the page's own address.
    void windowFocused(const QString& address) { emit focused(address); }
    // A click in the page; `anchor_id` is the id of the clicked anchor, empty
    // for a click elsewhere.
    void clicked(const QString& anchor_id) { emit anchorClicked(anchor_id); }

signals:
    void focused(const QString& address);
    void anchorClicked(const QString& anchor_id);
};

} // namespace velto
