# Initial cache of the Windows test build: every site constant points at a
# loopback server that the end-to-end tests start on a fixed high port.
set(QUENTHOR_RELAY_HOST "127.0.0.1" CACHE STRING "")
set(QUENTHOR_RELAY_PORT "36625" CACHE STRING "")
set(QUENTHOR_SENDER "alert@quenthor.test" CACHE STRING "")
set(QUENTHOR_ALERT_URL "http://127.0.0.1:36680/postapi.php" CACHE STRING "")
set(QUENTHOR_VERSION_URL "http://127.0.0.1:36680/soft_new_version.txt" CACHE STRING "")
set(QUENTHOR_DOWNLOAD_URL "http://127.0.0.1:36680/download/" CACHE STRING "")
set(QUENTHOR_SITE_URL "http://127.0.0.1:36680" CACHE STRING "")
set(QUENTHOR_BLACKLIST_URL "http://127.0.0.1:36680/blacklist" CACHE STRING "")
set(QUENTHOR_PING_HOST "127.0.0.1" CACHE STRING "")
