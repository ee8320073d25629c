# Gathers the demo's payload in PAYLOAD, afresh: the files kept in demo/payload, the preview client
# with its scene, and a read-only data file.
# cmake -DPAYLOAD=<folder> -DDEMO=<demo folder> -DCLIENT=<KV2.EXE> -P GatherPayload.cmake
file(REMOVE_RECURSE ${PAYLOAD})
file(MAKE_DIRECTORY ${PAYLOAD})
file(COPY ${DEMO}/payload/ ${CLIENT} ${DEMO}/media/K2Scene.dat ${DEMO}/media/K2Scene.kds DESTINATION ${PAYLOAD})

# Big enough that its share of the progress bar shows.
string(REPEAT "KORVI2 DATA 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n" 1024 data)
file(WRITE ${PAYLOAD}/KORVI2.DAT "${data}")
file(CHMOD ${PAYLOAD}/KORVI2.DAT PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
