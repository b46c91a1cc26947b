tv_unit(test_MsgDisp SOURCES unit/test_MsgDisp.cpp ${TV_ROOT}/converter/MsgDisp.cpp
        LIBS PkgConfig::GTK2)
