# The checker's main runs in-process under another name.
tv_unit(test_TestMain SOURCES unit/test_TestMain.cpp ${TV_ROOT}/envcheck/TestMain.cpp
        ${TV_ROOT}/common/VersionGet.cpp ${TV_ROOT}/common/FileIo.cpp
        OBJECTS tv_record)
set_source_files_properties(${TV_ROOT}/envcheck/TestMain.cpp TARGET_DIRECTORY test_TestMain
        PROPERTIES COMPILE_DEFINITIONS main=EnvcheckMain)
