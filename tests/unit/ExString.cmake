tv_unit(test_ExString SOURCES unit/test_ExString.cpp ${TV_ROOT}/common/ExString.cpp
        OBJECTS tv_record)
