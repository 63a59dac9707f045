# The program's icon (src/app/Quenthor.ico, made by scripts/make-icon.py) as a
# byte array compiled into quenthor_core: ProgramIcon::ico() in
# shell/ProgramIcon.h. Regenerated when the icon file changes.
set(QUENTHOR_ICON_FILE ${CMAKE_SOURCE_DIR}/src/app/Quenthor.ico)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUENTHOR_ICON_FILE})
file(READ ${QUENTHOR_ICON_FILE} quenthor_icon_hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," quenthor_icon_bytes "${quenthor_icon_hex}")
file(WRITE ${QUENTHOR_GENERATED_DIR}/shell/ProgramIconData.cpp.in
     "// Generated from src/app/Quenthor.ico by cmake/ProgramIcon.cmake; do not edit.\n"
     "#include \"shell/ProgramIcon.h\"\n\n"
     "namespace {\nconst unsigned char kIco[] = {${quenthor_icon_bytes}};\n}  // namespace\n\n"
     "const ByteBlob& ProgramIcon::ico() {\n"
     "  static const ByteBlob bytes(kIco, kIco + sizeof kIco);\n"
     "  return bytes;\n}\n")
configure_file(${QUENTHOR_GENERATED_DIR}/shell/ProgramIconData.cpp.in
               ${QUENTHOR_GENERATED_DIR}/shell/ProgramIconData.cpp COPYONLY)
target_sources(quenthor_core PRIVATE ${QUENTHOR_GENERATED_DIR}/shell/ProgramIconData.cpp)
