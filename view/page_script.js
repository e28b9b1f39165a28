// Runs in every page the page view shows, in the view's own script world: page
// content cannot see it (and the page's own scripts do not run). It reports
// the events the view acts on through the web channel object "host" (see
// view/page_bridge.h) and answers the view's questions about the page.
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

    // A jump to a place in the page shown stays with the engine.
    function inPage(a) {
        return a.hash !== '' && a.href.split('#')[0] === location.href.split('#')[0];
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

    // Every activation of a link goes to the view, which decides where it
    // leads; the engine does not follow it. Whether the user made the event
    // goes along: only the user's own activations may leave the program (the
    // page's scripts do not run, so other clicks come from the view's world).
    // Before the channel is up the engine's navigation reaches the view's link
    // policy instead.
    function activate(event) {
        var a = anchorOf(event.target);
        if (!a || !host || inPage(a))
            return;
        event.preventDefault();
        host.linkActivated(a.href, event.isTrusted);
    }

    document.addEventListener('click', function (event) {
        var a = anchorOf(event.target);
        if (host)
            host.clicked(a ? (a.id || '') : '');
        if (event.button === 0)
            activate(event);
    }, true);

    document.addEventListener('auxclick', function (event) {
        if (event.button === 1)
            activate(event);
    }, true);
})();
