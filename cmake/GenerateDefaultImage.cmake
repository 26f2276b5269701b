# Builds the default device image from its source text and the build's settings.
#
#   cmake -DSOURCE=<text> -DVENDOR_ID=<hhhh> -DPRODUCT_ID=<hhhh> -DSTORAGE_KIND=<I2C|Flash>
#         -DOUTPUT=<hex file> -P GenerateDefaultImage.cmake
#
# The source holds bytes 0..255 as hexadecimal pairs with the placeholders SM, VV VV, PP PP and CS
# (lines starting with # are comments). The output is the whole 768-byte image as hexadecimal text,
# which the resource step embeds.

cmake_minimum_required(VERSION 3.25)

set(kImageSize 768)
set(kHeaderBytes 256)

foreach(var SOURCE VENDOR_ID PRODUCT_ID STORAGE_KIND OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "GenerateDefaultImage: ${var} is not set")
  endif()
endforeach()
foreach(id_var VENDOR_ID PRODUCT_ID)
  if(NOT ${id_var} MATCHES "^[0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]$")
    message(FATAL_ERROR "GenerateDefaultImage: ${id_var} must be four hexadecimal digits")
  endif()
endforeach()
if(STORAGE_KIND STREQUAL "I2C")
  set(storage_marker "E0")
elseif(STORAGE_KIND STREQUAL "Flash")
  set(storage_marker "F0")
else()
  message(FATAL_ERROR "GenerateDefaultImage: STORAGE_KIND must be I2C or Flash, got '${STORAGE_KIND}'")
endif()

file(STRINGS "${SOURCE}" source_lines)
set(bytes "")
foreach(line IN LISTS source_lines)
  if(line MATCHES "^[ \t]*#" OR line MATCHES "^[ \t]*$")
    continue()
  endif()
  string(REGEX REPLACE "[ \t]+" ";" line_tokens "${line}")
  foreach(token IN LISTS line_tokens)
    if(NOT token STREQUAL "")
      string(TOUPPER "${token}" token)
      list(APPEND bytes "${token}")
    endif()
  endforeach()
endforeach()

list(LENGTH bytes byte_count)
if(NOT byte_count EQUAL kHeaderBytes)
  message(FATAL_ERROR "${SOURCE}: expected ${kHeaderBytes} bytes, found ${byte_count}")
endif()

# The placeholders must sit where the firmware expects these values.
function(expect_placeholder index name)
  list(GET bytes ${index} token)
  if(NOT token STREQUAL name)
    message(FATAL_ERROR "${SOURCE}: byte ${index} must be the placeholder ${name}, found ${token}")
  endif()
endfunction()
expect_placeholder(0 SM)
expect_placeholder(2 VV)
expect_placeholder(3 VV)
expect_placeholder(4 PP)
expect_placeholder(5 PP)
expect_placeholder(103 CS)

string(SUBSTRING "${VENDOR_ID}" 0 2 vendor_high)
string(SUBSTRING "${VENDOR_ID}" 2 2 vendor_low)
string(SUBSTRING "${PRODUCT_ID}" 0 2 product_high)
string(SUBSTRING "${PRODUCT_ID}" 2 2 product_low)
foreach(pair "0;${storage_marker}" "2;${vendor_high}" "3;${vendor_low}" "4;${product_high}"
        "5;${product_low}" "103;00")
  list(GET pair 0 index)
  list(GET pair 1 value)
  string(TOUPPER "${value}" value)
  list(REMOVE_AT bytes ${index})
  list(INSERT bytes ${index} "${value}")
endforeach()

foreach(token IN LISTS bytes)
  if(NOT token MATCHES "^[0-9A-F][0-9A-F]$")
    message(FATAL_ERROR "${SOURCE}: '${token}' is not a byte in hexadecimal")
  endif()
endforeach()

# Sum of bytes first..last, modulo 256, XOR 0x5A: the checksum the mouse expects of a section.
function(section_checksum first last out_var)
  set(sum 0)
  foreach(index RANGE ${first} ${last})
    list(GET bytes ${index} token)
    math(EXPR sum "(${sum} + 0x${token}) % 256")
  endforeach()
  math(EXPR checksum "${sum} ^ 0x5A")
  set(${out_var} ${checksum} PARENT_SCOPE)
endfunction()

function(to_hex_byte value out_var)
  set(digits 0 1 2 3 4 5 6 7 8 9 A B C D E F)
  math(EXPR high "${value} / 16")
  math(EXPR low "${value} % 16")
  list(GET digits ${high} high_digit)
  list(GET digits ${low} low_digit)
  set(${out_var} "${high_digit}${low_digit}" PARENT_SCOPE)
endfunction()

section_checksum(0 102 parameter_checksum)
to_hex_byte(${parameter_checksum} parameter_checksum_hex)
list(REMOVE_AT bytes 103)
list(INSERT bytes 103 "${parameter_checksum_hex}")

section_checksum(104 247 profile_checksum)
to_hex_byte(${profile_checksum} profile_checksum_hex)
list(GET bytes 248 stored_profile_checksum)
if(NOT stored_profile_checksum STREQUAL profile_checksum_hex)
  message(FATAL_ERROR "${SOURCE}: byte 248 (profile checksum) is ${stored_profile_checksum}, "
                      "the default buttons need ${profile_checksum_hex}")
endif()

list(JOIN bytes "" image_hex)
math(EXPR padding "${kImageSize} - ${kHeaderBytes}")
string(REPEAT "00" ${padding} macro_area_hex)
string(APPEND image_hex "${macro_area_hex}")

file(WRITE "${OUTPUT}.tmp" "${image_hex}\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
