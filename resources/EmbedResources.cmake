# Writes each resource file out as a constant byte array with its length, under
# the names the editor uses. Run as a build step:
#   cmake -DOUTPUT_DIR=<dir> -DRESOURCES="name=file|name=file" -P EmbedResources.cmake

set (header "#pragma once\n\nnamespace BinaryData\n{\n")
set (source "#include \"BinaryData.h\"\n\nnamespace BinaryData\n{\n")

string (REPLACE "|" ";" entries "${RESOURCES}")

foreach (entry IN LISTS entries)
    string (REPLACE "=" ";" pair "${entry}")
    list (GET pair 0 name)
    list (GET pair 1 file)

    file (SIZE "${file}" size)
    file (READ "${file}" hex HEX)
    string (REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string (REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")

    string (APPEND header "extern const unsigned char ${name}[];\nextern const int ${name}Size;\n")
    string (APPEND source "const unsigned char ${name}[] = {\n    ${bytes}\n};\nconst int ${name}Size = ${size};\n\n")
endforeach ()

string (APPEND header "} // namespace BinaryData\n")
string (APPEND source "} // namespace BinaryData\n")

file (WRITE "${OUTPUT_DIR}/BinaryData.h" "${header}")
file (WRITE "${OUTPUT_DIR}/BinaryData.cpp" "${source}")
