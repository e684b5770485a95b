# Writes the site's service worker: TEMPLATE with @QV_SITE_FILES@ (the files it keeps for
# offline use) and @QV_SITE_VERSION@ (a hash of their contents) filled in.
#   cmake -DSITE=<site dir> -DFILES=<file;file;...> -DTEMPLATE=<sw.js.in> -P service_worker.cmake
set(hashes "")
set(names "")
foreach(file ${FILES})
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND hashes "${file}:${hash}\n")
  string(APPEND names "  './${file}',\n")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING ${version} 0 16 QV_SITE_VERSION)
set(QV_SITE_FILES "${names}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
