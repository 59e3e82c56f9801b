# Writes the page's service worker: cmake -DDIR=BUILD_DIR -DTEMPLATE=FILE.js.in
#   -DOUTPUT=NAME.js "-DFILES=a;b;c" -P offline_files.cmake
# FILES, beside the page in DIR, are what it keeps for offline play. Each is listed with its
# size and SHA-256, and the worker's version is a digest of them all: any change to any file
# makes a new worker, which the browser then installs in place of the old one.
foreach(variable DIR TEMPLATE OUTPUT FILES)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "offline_files.cmake: -D${variable}=... is needed")
  endif()
endforeach()

set(entries)
set(digests)
foreach(name ${FILES})
  set(file ${DIR}/${name})
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "offline_files.cmake: the page has no ${name} in ${DIR}")
  endif()
  file(SHA256 ${file} sha256)
  file(SIZE ${file} bytes)
  list(APPEND entries "  { \"name\": \"${name}\", \"bytes\": ${bytes}, \"sha256\": \"${sha256}\" }")
  string(APPEND digests "${name}:${sha256}\n")
endforeach()
list(JOIN entries ",\n" joined)
set(FILES "[\n${joined},\n]")
string(SHA256 version "${digests}")
string(SUBSTRING ${version} 0 16 VERSION)
configure_file(${TEMPLATE} ${DIR}/${OUTPUT} @ONLY)
