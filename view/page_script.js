// Runs in every page the page view shows, in the view's own script world: page
// content cannot see it (and the page's own scripts do not run). It reports
// the events the view acts on through the web channel object "host" (see
// view/page_bridge.h) and answers the view's questions about the page.
(function () {
    'use strict';
    if (window.veltoPage)
        return;

    // The view's object, once the web channel is up. The channel is opened
    // when the page first has something to report (or the view asks whether
    // it is up), not while the page loads: its handshake would hold the load
    // up. Reports made before it is up wait and go in their order.
    var host = null;
    var waiting = null; // reports waiting for the channel; null before it is opened

    function openChannel() {
        if (host || waiting)
            return;
        waiting = [];
        new QWebChannel(qt.webChannelTransport, function (channel) {
            host = channel.objects.host;
            var reports = waiting;
            waiting = null;
            reports.forEach(function (r) { host[r[0]].apply(host, r[1]); });
        });
    }

    // Calls the view's slot `name` with the arguments `args`, now or once
    // the channel is up.
    function report(name, args) {
        if (host) {
            host[name].apply(host, args);
            return;
        }
        openChannel();
        waiting.push([name, args]);
    }

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

    // The element a name stands for: the one of that id, else the first of
    // that name.
    function named(name) {
        return document.getElementById(name) || document.getElementsByName(name)[0] || null;
    }

    // ---- Word marks ----
    //
    // Each painted occurrence is wrapped in spans of the view's own (one per
    // text node it covers), inside links and coloured brackets, never around
    // them. Taking the paint off removes exactly these spans, so every part
    // of the page gets back the background it had. Marks belong to the
    // document they were made in.
    var marks = [];       // spans, in the order they were made
    var markedCount = 0;  // occurrences painted
    var occurrences = []; // the spans of each painted occurrence, in page order
    var current = -1;     // the occurrence stepped to last; -1 before the first step
    // The outline of the occurrence stepped to: seen over any paint.
    var CURRENT_OUTLINE = '2px solid #D00000';

    // Elements whose text is not shown as page text.
    var HIDDEN = /^(SCRIPT|STYLE|NOSCRIPT|TEMPLATE|TITLE|TEXTAREA|SELECT)$/;
    // Elements that begin and end a line: no word runs across them.
    var BLOCK = /^(ADDRESS|BLOCKQUOTE|BR|CAPTION|CENTER|DD|DIV|DL|DT|FORM|H[1-6]|HR|IMG|LI|OL|P|PRE|TABLE|TBODY|TD|TFOOT|TH|THEAD|TR|UL)$/;

    // Letters compare without case, full-width ASCII forms as their single-
    // byte forms (the search texts are normalised so). One character stays
    // one character, so offsets hold.
    function fold(text) {
        return text.replace(/[\uFF01-\uFF5E]/g, function (c) {
            return String.fromCharCode(c.charCodeAt(0) - 0xFEE0);
        }).replace(/[a-z]/g, function (c) {
            return c.toUpperCase();
        });
    }

    // The text of the body as one string with the text node each part
    // comes from; a line feed stands between blocks.
    function bodyText() {
        var parts = [], nodes = [], length = 0;
        function boundary() {
            parts.push('\n');
            ++length;
        }
        (function walk(element) {
            for (var n = element.firstChild; n; n = n.nextSibling) {
                if (n.nodeType === 3) {
                    nodes.push({ node: n, start: length });
                    parts.push(n.data);
                    length += n.data.length;
                } else if (n.nodeType === 1 && !HIDDEN.test(n.tagName)) {
                    var block = BLOCK.test(n.tagName);
                    if (block)
                        boundary();
                    walk(n);
                    if (block)
                        boundary();
                }
            }
        })(document.body);
        return { text: fold(parts.join('')), nodes: nodes };
    }

    // Wraps the characters [from, to) of the body text in marks of `colour`;
    // the marks made, in page order.
    function wrap(runs, from, to, colour) {
        var made = [];
        // From the end: splitting a text node keeps its first part where it was.
        for (var i = runs.nodes.length - 1; i >= 0; --i) {
            var run = runs.nodes[i];
            var start = Math.max(from, run.start) - run.start;
            var end = Math.min(to, run.start + run.node.data.length) - run.start;
            if (end <= start)
                continue;
            var piece = run.node;
            if (end < piece.data.length)
                piece.splitText(end);
            if (start > 0)
                piece = piece.splitText(start);
            var span = document.createElement('span');
            span.style.backgroundColor = colour;
            piece.parentNode.insertBefore(span, piece);
            span.appendChild(piece);
            marks.push(span);
            made.unshift(span);
        }
        return made;
    }

    function unmark() {
        var n = markedCount;
        var parents = [];
        while (marks.length) {
            var span = marks.pop();
            var parent = span.parentNode;
            if (!parent)
                continue;
            while (span.firstChild)
                parent.insertBefore(span.firstChild, span);
            parent.removeChild(span);
            parents.push(parent);
        }
        parents.forEach(function (p) { p.normalize(); });
        markedCount = 0;
        occurrences = [];
        current = -1;
        return n;
    }

    function outline(occurrence, style) {
        occurrence.forEach(function (span) { span.style.outline = style; });
    }

    // The page is the one the view means (its address path).
    function isPage(path) {
        return location.pathname === path;
    }

    function linkInfo(a) {
        if (!a)
            return { anchor: false, href: '', id: '' };
        return { anchor: true, href: a.href || '', id: a.id || '' };
    }

    // The anchor of a sentence is named by its ID_BN.
    var SENTENCE = /^[0-9A-Z]{3}-[0-9A-Z]{8}-[0-9A-Z]{2}(-[0-9A-Z]{4}){4}$/;

    // The sentence a node belongs to: the one sentence anchor inside it (a
    // sentence's block), else the last sentence anchor before it (its
    // reference block and tables follow the sentence); '' above the first
    // and on an element that holds several sentences (the page itself).
    function sentenceOf(node) {
        var found = '';
        var element = node && node.nodeType !== 1 ? node.parentNode : node;
        if (!element)
            return found;
        var inside = Array.prototype.filter.call(element.querySelectorAll('a[id]'), function (a) {
            return SENTENCE.test(a.id);
        });
        if (inside.length)
            return inside.length === 1 ? inside[0].id : found;
        var anchors = document.querySelectorAll('a[id]');
        for (var i = 0; i < anchors.length; ++i) {
            var a = anchors[i];
            if (!SENTENCE.test(a.id))
                continue;
            if (a !== node && !a.contains(node) && !(a.compareDocumentPosition(node) & Node.DOCUMENT_POSITION_FOLLOWING))
                break;
            found = a.id;
        }
        return found;
    }

    // On paper the page has no background colour of its own (marks and
    // coloured links keep theirs).
    document.addEventListener('DOMContentLoaded', function () {
        var style = document.createElement('style');
        style.id = 'velto-print';
        style.textContent = '@media print { html, body { background: #FFFFFF none !important; } }';
        (document.head || document.documentElement).appendChild(style);
    });

    // A colour that shows over any background and keeps the text readable.
    var REVEAL_COLOUR = 'rgba(255, 190, 0, 0.4)';

    // Marks a block for a moment, then lets the mark fade into the block's
    // own background. An animation of the engine, not a timer: timers of the
    // page do not run, as the page's own scripts do not.
    function flash(block) {
        block.animate([{ backgroundColor: REVEAL_COLOUR }, { backgroundColor: REVEAL_COLOUR, offset: 0.6 }],
                      { duration: 2500, easing: 'ease-in' });
    }

    window.veltoPage = {
        // True once the page's reports reach the view directly; asking opens
        // the channel. Reports made before wait for it.
        connected: function () {
            openChannel();
            return host !== null;
        },
        // The link at a point of the window (CSS pixels): its address and
        // id, and the sentence there.
        anchorAt: function (x, y) {
            var node = document.elementFromPoint(x, y);
            var info = linkInfo(anchorOf(node));
            info.sentence = sentenceOf(node);
            return info;
        },
        // Where the element of a name is, in document coordinates (CSS
        // pixels), with the height of the window; found is false without one.
        offsetOf: function (name) {
            var e = named(name);
            if (!e)
                return { found: false, top: 0, left: 0, viewHeight: window.innerHeight };
            var r = e.getBoundingClientRect();
            return { found: true, top: Math.round(r.top + window.scrollY), left: Math.round(r.left + window.scrollX),
                     viewHeight: window.innerHeight };
        },
        // Inserts html (the view's own, never page text) just before the
        // element of a name, after removing any element of the id `replaces`.
        insertBefore: function (name, html, replaces) {
            var old = document.getElementById(replaces);
            if (old)
                old.remove();
            var e = named(name);
            if (!e)
                return false;
            e.insertAdjacentHTML('beforebegin', html);
            return true;
        },
        // Inserts html (the view's own) at the start of the body, after
        // removing any element of the id `replaces`.
        prepend: function (html, replaces) {
            var old = document.getElementById(replaces);
            if (old)
                old.remove();
            if (!document.body)
                return false;
            document.body.insertAdjacentHTML('afterbegin', html);
            return true;
        },
        // Removes the element of an id; false when there is none.
        remove: function (id) {
            var e = document.getElementById(id);
            if (!e)
                return false;
            e.remove();
            return true;
        },
        // Gives the anchors of the ids `keys` the inline style `style`.
        colourLinks: function (keys, style) {
            var n = 0;
            keys.forEach(function (key) {
                var a = document.getElementById(key);
                if (a && a.tagName === 'A') {
                    a.style.cssText = style;
                    ++n;
                }
            });
            return n;
        },
        // Paints every occurrence of each word (at most three, with the
        // colour of the same index), after taking any earlier paint off;
        // the last occurrence of the first word is scrolled to the top.
        // The number painted; 0 without a body; -1 when the page shown is
        // not `path`.
        markWords: function (words, colours, path) {
            if (!isPage(path))
                return -1;
            unmark();
            if (!document.body)
                return 0;
            var last = null;
            // From the last word to the first: where words overlap, the
            // colour of the earlier word is on top.
            for (var w = words.length - 1; w >= 0; --w) {
                var word = fold(words[w]);
                if (!word)
                    continue;
                var runs = bodyText();
                var found = [];
                for (var at = runs.text.indexOf(word); at >= 0; at = runs.text.indexOf(word, at + word.length))
                    found.push(at);
                for (var i = found.length - 1; i >= 0; --i) {
                    var made = wrap(runs, found[i], found[i] + word.length, colours[w]);
                    if (!made.length)
                        continue;
                    occurrences.push(made);
                    if (i === found.length - 1)
                        last = made[0];
                }
                markedCount += found.length;
            }
            occurrences.sort(function (a, b) {
                return a[0].compareDocumentPosition(b[0]) & Node.DOCUMENT_POSITION_FOLLOWING ? -1 : 1;
            });
            if (last)
                last.scrollIntoView({ block: 'start', inline: 'nearest' });
            return markedCount;
        },
        // Takes the paint of markWords off; the number of occurrences it
        // had painted, -1 when the page shown is not `path`.
        clearMarks: function (path) {
            return isPage(path) ? unmark() : -1;
        },
        // Moves to the next (previous) painted occurrence in page order,
        // round at the ends; the first step goes to the first (the last)
        // occurrence of the page. The occurrence is outlined and brought to
        // the middle of the window. {index (from 1), count}; null when the
        // page shown is not `path`.
        stepMark: function (forward, path) {
            if (!isPage(path))
                return null;
            var n = occurrences.length;
            if (!n)
                return { index: 0, count: 0 };
            if (current >= 0)
                outline(occurrences[current], '');
            current = forward ? (current + 1) % n : (current <= 0 ? n : current) - 1;
            outline(occurrences[current], CURRENT_OUTLINE);
            occurrences[current][0].scrollIntoView({ block: 'center', inline: 'nearest' });
            return { index: current + 1, count: n };
        },
        // The body's cursor; '' gives it back to the page.
        setCursor: function (cursor) {
            if (document.body)
                document.body.style.cursor = cursor;
        },
        // The height of the whole page in CSS pixels, however high the
        // window is (a preview is sized to its page).
        contentHeight: function () {
            var body = document.body;
            if (!body)
                return 0;
            // The content itself: in the pages' quirks mode the body fills the window.
            var range = document.createRange();
            range.selectNodeContents(body);
            var bottom = range.getBoundingClientRect().bottom + window.scrollY;
            return Math.ceil(bottom + parseFloat(getComputedStyle(body).marginBottom || '0'));
        },
        // The element `id` at the top of the window (a little below it), the
        // blocks of the sentences whose ids begin with `scope` marked.
        reveal: function (id, scope) {
            if (!id) {
                window.scrollTo(0, 0);
                return true;
            }
            var target = document.getElementById(id);
            if (!target)
                return false;
            var blocks = [];
            var anchors = document.querySelectorAll('a[id]');
            for (var i = 0; scope && i < anchors.length; ++i) {
                var block = anchors[i].id.indexOf(scope) === 0 ? anchors[i].closest('div') : null;
                if (block && blocks.indexOf(block) < 0)
                    blocks.push(block);
            }
            var first = target.closest('div') || target;
            if (blocks.indexOf(first) < 0 && first !== target)
                blocks.unshift(first);
            first.scrollIntoView({ block: 'start' });
            window.scrollBy(0, -12);
            blocks.forEach(flash);
            return true;
        }
    };

    window.addEventListener('focus', function () {
        report('windowFocused', [location.href]);
    });

    // Every activation of a link goes to the view, which decides where it
    // leads; the engine does not follow it. Whether the user made the event
    // goes along: only the user's own activations may leave the program (the
    // page's scripts do not run, so other clicks come from the view's world).
    // Shift+click opens an internal link in the lower pane.
    function activate(event) {
        var a = anchorOf(event.target);
        if (!a || inPage(a))
            return;
        event.preventDefault();
        report(event.shiftKey && event.button === 0 ? 'linkActivatedBelow' : 'linkActivated', [a.href, event.isTrusted]);
    }

    document.addEventListener('click', function (event) {
        var a = anchorOf(event.target);
        report('clicked', [a ? (a.id || '') : '']);
        if (event.button === 0)
            activate(event);
    }, true);

    document.addEventListener('auxclick', function (event) {
        if (event.button === 1)
            activate(event);
    }, true);

    // The mouse for gestures, in document coordinates: every press (with
    // whether it is on a link or a picture), moves while the right button is
    // held, every release. The view decides what they mean.
    function at(event) {
        return [Math.round(event.pageX), Math.round(event.pageY)];
    }

    document.addEventListener('mousedown', function (event) {
        var t = event.target && event.target.nodeType === 1 ? event.target : null;
        var p = at(event);
        report('mousePressed', [event.button, !!(t && t.closest('a[href], img')), p[0], p[1]]);
    }, true);

    document.addEventListener('mousemove', function (event) {
        if (event.buttons & 2) {
            var p = at(event);
            report('mouseMoved', p);
        }
    }, true);

    document.addEventListener('mouseup', function (event) {
        var p = at(event);
        report('mouseReleased', [event.button, p[0], p[1]]);
    }, true);

    // The link under the pointer, for its preview: where the pointer came
    // onto a link (the line of the link it is on, in window coordinates) and
    // when it left it.
    var hovered = null;

    function lineUnder(a, event) {
        var rects = a.getClientRects();
        for (var i = 0; i < rects.length; ++i) {
            var r = rects[i];
            if (event.clientX >= r.left && event.clientX <= r.right && event.clientY >= r.top && event.clientY <= r.bottom)
                return r;
        }
        return a.getBoundingClientRect();
    }

    // A link, or a marked use of a defined term: its definition is previewed as a link's target is.
    function hoverTargetOf(node) {
        var a = anchorOf(node);
        while (!a && node && node.nodeType !== 1)
            node = node.parentNode;
        return a || (node && node.closest ? node.closest('span.vt-term[data-term]') : null);
    }

    document.addEventListener('mouseover', function (event) {
        var a = hoverTargetOf(event.target);
        if (a === hovered)
            return;
        if (hovered)
            report('linkLeft', []);
        hovered = a;
        if (a) {
            var r = lineUnder(a, event);
            var term = !a.href;
            report('linkEntered', [term ? 'velto-term:' + a.getAttribute('data-term') : a.href,
                                   term ? a.textContent : (a.id || ''), Math.round(r.left), Math.round(r.top),
                                   Math.round(r.width), Math.round(r.height)]);
        }
    }, true);

    document.addEventListener('mouseout', function (event) {
        if (!hovered || (event.relatedTarget && hoverTargetOf(event.relatedTarget) === hovered))
            return;
        hovered = null;
        report('linkLeft', []);
    }, true);

    // The view shows its own menu, in the order of the mouse events above (a
    // menu asked for while the right button is down waits for its release,
    // which may end a gesture instead).
    document.addEventListener('contextmenu', function (event) {
        event.preventDefault();
        var link = linkInfo(anchorOf(event.target));
        report('contextMenuAsked', [Math.round(event.clientX), Math.round(event.clientY), link.anchor, link.href, link.id,
                                    sentenceOf(event.target)]);
    }, true);
})();
