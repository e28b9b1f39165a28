// Runs in every page the page view shows, in the view's own script world:
// page scripts cannot see it. It reports the events the view acts on through
// the web channel object "host" and answers the view's questions about the page.
(function () {
    'use strict';
    if (window.veltoPage)
        return;

    var host = null;

    // The link that holds a node (an anchor without an address is no link).
    function anchorOf(node) {
        while (node && node.nodeType !== 1)
            node = node.parentNode;
        return node && node.closest ? node.closest('a[href]') : null;
    }

    window.veltoPage = {
        // The link at a point of the window (CSS pixels): its address and id.
        anchorAt: function (x, y) {
            var a = anchorOf(document.elementFromPoint(x, y));
            if (!a)
                return { anchor: false, href: '', id: '' };
            return { anchor: true, href: a.href || '', id: a.id || '' };
        }
    };

    new QWebChannel(qt.webChannelTransport, function (channel) {
        host = channel.objects.host;
    });

    window.addEventListener('focus', function () {
        if (host)
            host.windowFocused(location.href);
    });

    document.addEventListener('click', function (event) {
        var a = anchorOf(event.target);
        if (host)
            host.clicked(a ? (a.id || '') : '');
    }, true);
})();
