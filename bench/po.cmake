# po export and po apply against extract --dfm of the same module (runs formtext).
vc_add_bench(po_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/PoBench.cpp LIBS vc_formstream)
target_compile_definitions(po_bench PRIVATE VC_FORMTEXT="$<TARGET_FILE:formtext>" VC_CORPUS_DIR="${VC_CORPUS}")
add_dependencies(po_bench formtext)
