tv_unit(test_CalcCom SOURCES unit/test_CalcCom.cpp ${TV_ROOT}/converter/CalcCom.cpp
        ${TV_ROOT}/common/ExString.cpp OBJECTS tv_record)
