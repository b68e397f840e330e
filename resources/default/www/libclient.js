/*
 * The bridge between the program's local pages and the program.
 *
 * Inside the program the object "client" is there before any page script
 * runs (its calls made once the program's web channel is up, in order), and
 * the document event "clientready" follows once the document is parsed; a
 * page that finds window.__clientPending set waits for that event. Opened in
 * an ordinary browser there is no such object; a stand-in with the same
 * operations then shows what the program would do.
 */
var Client = (function () {
    var object = null;
    var waiting = [];

    function standIn() {
        function show(what) {
            return function (arg) { window.alert('client.' + what + '(' + (arg === undefined ? '' : arg) + ')'); };
        }
        return {
            isDebug: true,
            mahjongHost: '',
            displayTab: show('displayTab'),
            joinTable: show('joinTable'),
            launchBrowser: show('launchBrowser'),
            displayTournament: show('displayTournament'),
            close: show('close')
        };
    }

    function use(found, inBrowser) {
        object = found;
        if (inBrowser) {
            $(function () { $('body').addClass('browser'); });
        }
        if (!object.isDebug) {
            // Inside the program the page has no context menu.
            document.addEventListener('contextmenu', function (e) { e.preventDefault(); });
        }
        var calls = waiting;
        waiting = [];
        for (var i = 0; i < calls.length; ++i) {
            calls[i](object);
        }
    }

    if (window.client) {
        use(window.client, false);
    } else if (window.__clientPending) {
        document.addEventListener('clientready', function () { use(window.client, false); });
    } else {
        use(standIn(), true);
    }

    /* Runs fn(client) as soon as the program object can be used. */
    function ready(fn) {
        if (object) {
            fn(object);
        } else {
            waiting.push(fn);
        }
    }

    return {
        ready: ready,
        displayTab: function (tab) { ready(function (c) { c.displayTab(tab); }); },
        joinTable: function (path) { ready(function (c) { c.joinTable(path); }); },
        launchBrowser: function (url) { ready(function (c) { c.launchBrowser(url); }); },
        displayTournament: function (id) { ready(function (c) { c.displayTournament(id); }); },
        close: function () { ready(function (c) { c.close(); }); }
    };
})();

/* Lobby paths of the quick games offered by the start page. */
var Tables = {
    practiceRiichi: '/Practice/Riichi/4/',
    practiceInternational: '/Practice/International/4/',
    practiceClassic: '/Practice/Classic/4/',
    freeRiichi: '/Regular/ForFun/Riichi/Express/4/'
};

/* Support actions shared by every page. */
var Support = {
    handHistory: function () { Client.launchBrowser('client://my-account'); },
    cashier: function () { Client.launchBrowser('client://my-account'); },
    externSupport: function () { Client.launchBrowser('client://externsupport'); },
    help: function () { Client.launchBrowser('http://{host}/help.html'); },
    helpDeposit: function () { Client.launchBrowser('http://{host}/help.html#deposit'); },
    helpWithdraw: function () { Client.launchBrowser('http://{host}/help.html#withdraw'); }
};

function playFreeRiichi() {
    Client.joinTable(Tables.freeRiichi);
}

/* Elements with data-tab, data-join or data-support attributes act on click. */
$(function () {
    $('[data-tab]').on('click', function (e) {
        e.preventDefault();
        Client.displayTab($(this).attr('data-tab'));
    });
    $('[data-join]').on('click', function (e) {
        e.preventDefault();
        Client.joinTable(Tables[$(this).attr('data-join')]);
    });
    $('[data-support]').on('click', function (e) {
        e.preventDefault();
        var action = Support[$(this).attr('data-support')];
        if (action) {
            action();
        }
    });
    $('[data-link]').on('click', function (e) {
        e.preventDefault();
        Client.launchBrowser($(this).attr('data-link'));
    });
    $('[data-close]').on('click', function (e) {
        e.preventDefault();
        Client.close();
    });
});
