# cmake -DWIXL=wixl -DPYTHON=python3 -DWXS=tintara.wxs -DVERSION=0.00 -DOUTPUT=x.msi -P Msi.cmake
# Builds the MSI from tintara.exe and LICENSE.txt in the current folder. With
# SOURCE_DATE_EPOCH set, every build of the same files is the same bytes:
#   - the product code is the name-based UUID (version 5, SHA-1) of the version text
#     in the namespace of the upgrade code, so that every build of one version is one
#     product, and each version another;
#   - the files in the package's cabinet carry SOURCE_DATE_EPOCH as their time, where
#     it is set (copy_for_archive), in UTC;
#   - the summary information's created and last saved times, which wixl sets to the
#     time it runs, are set to SOURCE_DATE_EPOCH where it is set (MsiSummary.py);
#   - the package code is the name-based UUID (version 5, SHA-1), in the namespace of
#     the product code, of the SHA-256 (64 lowercase hexadecimal digits) of the
#     package as built with the package code {00000000-0000-0000-0000-000000000000}:
#     it changes with any byte of the package, and anyone can check it by setting
#     that code again and hashing.
include(${CMAKE_CURRENT_LIST_DIR}/../ArchiveFiles.cmake)

file(STRINGS ${WXS} upgrade_line REGEX "UpgradeCode=\"[-0-9A-F]+\"")
if(NOT upgrade_line MATCHES "UpgradeCode=\"([-0-9A-F]+)\"")
  message(FATAL_ERROR "${WXS} names no UpgradeCode")
endif()
set(upgrade_code ${CMAKE_MATCH_1})
string(UUID product_code NAMESPACE ${upgrade_code} NAME ${VERSION} TYPE SHA1 UPPER)

set(files ${OUTPUT}.files)
copy_for_archive(${files} tintara.exe LICENSE.txt)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
    ${WIXL} --arch x64 --define Version=${VERSION} --define ProductCode={${product_code}}
    --define Exe=tintara.exe --define License=LICENSE.txt --output ${OUTPUT}.part ${WXS}
  WORKING_DIRECTORY ${files} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${files})

set(time)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(time --time $ENV{SOURCE_DATE_EPOCH})
endif()
set(summary ${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/MsiSummary.py ${OUTPUT}.part)
execute_process(COMMAND ${summary} --package-code {00000000-0000-0000-0000-000000000000} ${time}
  COMMAND_ERROR_IS_FATAL ANY)
file(SHA256 ${OUTPUT}.part content)
string(UUID package_code NAMESPACE ${product_code} NAME ${content} TYPE SHA1 UPPER)
execute_process(COMMAND ${summary} --package-code {${package_code}} COMMAND_ERROR_IS_FATAL ANY)
file(RENAME ${OUTPUT}.part ${OUTPUT})
message(STATUS "Product code {${product_code}}, package code {${package_code}}")
