# Writes a C++ source that holds a face file's bytes as the array
# bundled_face.h declares (gcc 12 has no #embed):
#   cmake -DINPUT=PorticoSans.ttf -DOUTPUT=bundled_face_data.cpp -P embed_face.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
  message(FATAL_ERROR "embed_face: ${INPUT} is empty")
endif()
string(REGEX REPLACE "(..)" "0x\\1," bytes "${hex}")
# Sixteen to a line (CMake's expressions have no counted repeats).
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n" bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)
# Written beside and renamed, so that a stopped build leaves no half file.
file(WRITE "${OUTPUT}.part"
  "// Made from ${name} by embed_face.cmake during the build.\n"
  "#include \"text/freetype/bundled_face.h\"\n\n"
  "namespace portico {\n"
  "const unsigned char BundledFaceData[] = {\n${bytes}\n};\n"
  "const size_t BundledFaceSize = sizeof(BundledFaceData);\n"
  "}  // namespace portico\n")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
