tv_unit(test_FileIo SOURCES unit/test_FileIo.cpp ${TV_ROOT}/common/FileIo.cpp
        ${TV_ROOT}/common/VersionGet.cpp OBJECTS tv_record)
