/*
 * The how-to page: one section is shown at a time; the menu switches
 * between them inside the page. The rule links go to the program, which
 * opens the service's rule pages.
 */
$(function () {
    function showSection(name) {
        $('.howto-section').removeClass('current');
        $('#section-' + name).addClass('current');
        $('.howto-menu a').removeClass('current');
        $('.howto-menu a[data-section="' + name + '"]').addClass('current');
    }

    $('.howto-menu a').on('click', function (e) {
        e.preventDefault();
        showSection($(this).attr('data-section'));
    });

    $('[data-rules]').on('click', function (e) {
        e.preventDefault();
        Client.launchBrowser('client://rules/' + $(this).attr('data-rules'));
    });
    $('[data-cashier]').on('click', function (e) {
        e.preventDefault();
        Client.launchBrowser('client://my-account');
    });
    $('[data-faq]').on('click', function (e) {
        e.preventDefault();
        Client.launchBrowser('client://help');
    });

    showSection('start');
});
