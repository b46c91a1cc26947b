tv_unit(test_VersionGet SOURCES unit/test_VersionGet.cpp ${TV_ROOT}/common/VersionGet.cpp
        ${TV_ROOT}/common/FileIo.cpp OBJECTS tv_record)
