# The local web pages use jQuery, taken from Debian's libjs-jquery package at
# build time (it is not kept in the repository) and embedded next to the
# pages in the default tree, where "localwww:/jquery.min.js" finds it.
set(PARLOR_JQUERY "/usr/share/javascript/jquery/jquery.min.js" CACHE FILEPATH "jQuery for the local web pages")
if(NOT EXISTS "${PARLOR_JQUERY}")
    message(FATAL_ERROR "jQuery not found at ${PARLOR_JQUERY}: install the Debian package libjs-jquery")
endif()
set(parlor_www_build "${CMAKE_CURRENT_BINARY_DIR}/www")
configure_file("${PARLOR_JQUERY}" "${parlor_www_build}/jquery.min.js" COPYONLY)
qt_add_resources(app "localwww_jquery"
    PREFIX "/default/www"
    BASE "${parlor_www_build}"
    FILES "${parlor_www_build}/jquery.min.js")
