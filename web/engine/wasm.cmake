# The WebAssembly engine (make wasm): build/wasm/velmora.js, the loader that runs in a Web
# Worker or under Node, and build/wasm/velmora.wasm. One thread; the search yields to the
# worker's event loop through Asyncify whenever the UCI loop looks at its input. The book is
# embedded; the memory grows only when "Hash" asks for a larger table.
set(VELMORA_WASM_DIR ${CMAKE_CURRENT_SOURCE_DIR}/web/engine)
set(VELMORA_WASM_ASYNCIFY ON CACHE BOOL "Yield to the event loop at input looks (Asyncify)")
set(VELMORA_WASM_LINK
    -sENVIRONMENT=web,worker,node
    -sALLOW_MEMORY_GROWTH=1
    -sINITIAL_MEMORY=64MB
    -sMAXIMUM_MEMORY=2GB
    -sTOTAL_STACK=8MB
    -sEXIT_RUNTIME=1
    -sEXPORTED_RUNTIME_METHODS=callMain
    -sEXPORTED_FUNCTIONS=_main
    --pre-js ${VELMORA_WASM_DIR}/pre.js
    --js-library ${VELMORA_WASM_DIR}/library.js
    --embed-file ${CMAKE_CURRENT_SOURCE_DIR}/VelmoraOB.book@VelmoraOB.book)
if(VELMORA_WASM_ASYNCIFY)
    list(APPEND VELMORA_WASM_LINK -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=262144
         "-sASYNCIFY_IMPORTS=['velmora_input_wait']")
endif()
target_link_options(velmora PRIVATE ${VELMORA_WASM_LINK})
set_target_properties(velmora PROPERTIES SUFFIX .js)
set_property(TARGET velmora APPEND PROPERTY LINK_DEPENDS
             ${VELMORA_WASM_DIR}/pre.js ${VELMORA_WASM_DIR}/library.js)
# velmora-tools (perft, bench) runs under Node from the same sources.
target_link_options(velmora-tools PRIVATE -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH=1
                    -sINITIAL_MEMORY=64MB -sTOTAL_STACK=8MB -sEXIT_RUNTIME=1
                    -sNODERAWFS=1 --pre-js ${VELMORA_WASM_DIR}/pre-tools.js
                    --js-library ${VELMORA_WASM_DIR}/library.js)
set_target_properties(velmora-tools PROPERTIES SUFFIX .js)
# Debian's emscripten's libc++ lacks std::atomic_ref: a stand-in, ahead of every source.
foreach(target velmora_core velmora velmora-tools)
    target_compile_options(${target} PRIVATE -include ${VELMORA_WASM_DIR}/compat/atomic_ref.h)
endforeach()
