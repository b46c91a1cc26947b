tv_unit(test_MakeWiki SOURCES unit/test_MakeWiki.cpp ${TV_ROOT}/wiki/MakeWiki.cpp
        ${TV_ROOT}/html/RGBChar.cpp ${TV_ROOT}/converter/CalcCom.cpp
        ${TV_ROOT}/common/ExString.cpp OBJECTS tv_record)
