# Writes the site's service worker: the list of the site's files, each with
# the SHA-256 of its bytes (the worker checks what it caches against them),
# and a cache version made of the game's version and a digest of the whole,
# so that every change to the site (a new version, or a rebuild that changes
# a file) is a new cache.
#   cmake -DSITE=DIR -DVERSION=X.Y -DTEMPLATE=FILE.in -P site_worker.cmake
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files service-worker.js .page)
list(SORT files)
set(digests "")
file(SHA256 ${SITE}/index.html index_digest)
set(QUILLVANE_SITE_FILES "['./', '${index_digest}']")
foreach(name IN LISTS files)
  file(SHA256 ${SITE}/${name} digest)
  string(APPEND digests "${name} ${digest}\n")
  string(APPEND QUILLVANE_SITE_FILES ",\n  ['${name}', '${digest}']")
endforeach()
string(SHA256 all "${digests}")
string(SUBSTRING ${all} 0 12 all)
set(QUILLVANE_SITE_VERSION "${VERSION}-${all}")
configure_file(${TEMPLATE} ${SITE}/service-worker.js @ONLY)
