tv_unit(test_MakeHtml SOURCES unit/test_MakeHtml.cpp ${TV_ROOT}/html/MakeHtml.cpp
        ${TV_ROOT}/html/RGBChar.cpp ${TV_ROOT}/converter/CalcCom.cpp
        ${TV_ROOT}/common/ExString.cpp ${TV_ROOT}/common/FileIo.cpp
        ${TV_ROOT}/common/VersionGet.cpp OBJECTS tv_record)
