tv_unit(test_MakeWiki SOURCES unit/test_MakeWiki.cpp ${TV_ROOT}/wiki/MakeWiki.cpp
        ${TV_ROOT}/html/RGBChar.cpp ${TV_ROOT}/converter/CalcCom.cpp
        ${TV_ROOT}/common/ExString.cpp OBJECTS tv_record)
# The shipped dialect files, read by the real settings reader and
# checked with pandoc.
tv_unit(test_MakeWikiDialects SOURCES unit/test_MakeWikiDialects.cpp
        ${TV_ROOT}/wiki/MakeWiki.cpp ${TV_ROOT}/html/RGBChar.cpp
        ${TV_ROOT}/converter/CalcCom.cpp ${TV_ROOT}/common/ExString.cpp
        ${TV_ROOT}/common/FileIo.cpp ${TV_ROOT}/common/VersionGet.cpp
        OBJECTS tv_record)
