# Lays out demo installation media in MEDIA, afresh: the setup program with its skin archive,
# the list file and the payload it names, among which the preview client with its scene and a
# read-only data file.
# cmake -DMEDIA=<folder> -DPAYLOAD=<folder> -DSETUP=<KV2Setup.exe> -DCLIENT=<KV2.EXE> -P LayOutMedia.cmake
file(REMOVE_RECURSE ${MEDIA})
file(MAKE_DIRECTORY ${MEDIA})
file(COPY ${SETUP} ${CLIENT} ${PAYLOAD}/K2Login.kds ${PAYLOAD}/K2Scene.dat ${PAYLOAD}/K2Scene.kds ${PAYLOAD}/README.TXT
     ${PAYLOAD}/LOGIN.INI DESTINATION ${MEDIA})

# Big enough that its share of the progress bar shows.
string(REPEAT "KORVI2 DATA 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n" 1024 data)
file(WRITE ${MEDIA}/KORVI2.DAT "${data}")
file(CHMOD ${MEDIA}/KORVI2.DAT PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)

# Media made on Windows: CRLF line ends.
file(WRITE ${MEDIA}/KV2Setup.inf "KV2.EXE\r\nK2Scene.dat\r\nK2Scene.kds\r\nKORVI2.DAT\r\nLOGIN.INI\r\nREADME.TXT\r\n")
