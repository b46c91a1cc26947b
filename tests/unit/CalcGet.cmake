tv_unit(test_CalcGet SOURCES unit/test_CalcGet.cpp ${TV_ROOT}/converter/CalcGet.cpp
        ${TV_ROOT}/converter/CalcCom.cpp ${TV_ROOT}/common/ExString.cpp
        OBJECTS tv_record)
