# Hosts and addresses of the alert service and the maker's site. A test build
# points them at loopback servers, e.g. make dist QUENTHOR_RELAY_HOST=127.0.0.1.
set(QUENTHOR_RELAY_HOST "smtp.pellucor.cn" CACHE STRING "SMTP relay of the alert service")
set(QUENTHOR_RELAY_PORT "366" CACHE STRING "Port of the SMTP relay")
set(QUENTHOR_SENDER "alert@pellucor.cn" CACHE STRING "Envelope sender and From of alarm mails")
set(QUENTHOR_ALERT_URL "http://api.pellucor.cn/postapi.php" CACHE STRING "SMS alert service")
set(QUENTHOR_VERSION_URL "http://www.pellucor.cn/soft_new_version.txt" CACHE STRING
    "Version file of the update check")
set(QUENTHOR_DOWNLOAD_URL "http://www.pellucor.cn/download/" CACHE STRING
    "Download page opened by the update check")
set(QUENTHOR_SITE_URL "http://www.pellucor.cn" CACHE STRING "Maker's web site (pages, banner)")
set(QUENTHOR_BLACKLIST_URL "https://mxtoolbox.com/blacklists.aspx" CACHE STRING
    "DNS blacklist lookup site")
set(QUENTHOR_PING_HOST "www.pellucor.cn" CACHE STRING "Default host of the Ping and Tracert windows")
set(QUENTHOR_HOTLINE "400-860-9366" CACHE STRING "Service hotline quoted in alarm mails")
set(QUENTHOR_WEB_ADDRESS "www.pellucor.cn" CACHE STRING "Web address quoted in alarm mails")

set(QUENTHOR_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/src/shell/SiteConstants.h.in
               ${QUENTHOR_GENERATED_DIR}/shell/SiteConstants.h @ONLY)
