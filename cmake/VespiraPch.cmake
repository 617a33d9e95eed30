# Precompiled headers: the Qt, standard and GoogleTest headers nearly every source file
# includes are parsed once per kind of target instead of once per source file, which more
# than halves a clean build. A precompiled header serves only sources compiled with the same
# flags and macros, so each kind has its own small anchor target that builds the header and
# nothing else:
#   core     the core libraries, the test support library, the fuzz targets
#   gui      the window libraries, the platform library, vespira-html
#   test     the test suites of the core and of vespira (GoogleTest defines its own macros)
#   guitest  the window tests
#   none     whatever links the producer: GMime's flags define macros the others do not
# -DVESPIRA_PCH=OFF builds without them, which shows a source file that forgot an include.
option(VESPIRA_PCH "Build with precompiled headers" ON)

set(_vespira_pch_core
    <QByteArray> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QString> <QStringDecoder>
    <QStringEncoder> <QStringList> <QStringView>
    <algorithm> <array> <cstdint> <functional> <memory> <optional> <utility> <vector>)
set(_vespira_pch_widgets
    <QAction> <QApplication> <QCheckBox> <QColor> <QFrame> <QKeyEvent> <QLabel> <QLineEdit>
    <QListWidget> <QPainter> <QPlainTextEdit> <QPushButton> <QScrollBar> <QTimer> <QToolButton>
    <QVBoxLayout> <QWidget>)
set(_vespira_pch_tests <QTemporaryDir> <gtest/gtest.h>)

function(_vespira_pch_anchor kind)
    set(_source ${PROJECT_BINARY_DIR}/pch/${kind}.cpp)
    file(GENERATE OUTPUT ${_source} CONTENT "// The anchor of a precompiled header: no code.\n")
    add_library(vespira_pch_${kind} OBJECT EXCLUDE_FROM_ALL ${_source})
    set_target_properties(vespira_pch_${kind} PROPERTIES AUTOMOC OFF)
    target_link_libraries(vespira_pch_${kind} PRIVATE vespira_options ${ARGN})
endfunction()

if(VESPIRA_PCH)
    _vespira_pch_anchor(core Qt6::Core)
    target_precompile_headers(vespira_pch_core PRIVATE ${_vespira_pch_core})
    _vespira_pch_anchor(gui Qt6::Widgets)
    target_precompile_headers(vespira_pch_gui PRIVATE ${_vespira_pch_core} ${_vespira_pch_widgets})
    if(VESPIRA_BUILD_TESTS)
        _vespira_pch_anchor(test Qt6::Core GTest::gtest)
        target_precompile_headers(vespira_pch_test PRIVATE ${_vespira_pch_core} ${_vespira_pch_tests})
        _vespira_pch_anchor(guitest Qt6::Widgets GTest::gtest)
        target_precompile_headers(vespira_pch_guitest PRIVATE
            ${_vespira_pch_core} ${_vespira_pch_widgets} ${_vespira_pch_tests})
    endif()
endif()

# Lets the target's sources start from the precompiled headers of the kind named above.
function(vespira_pch target kind)
    if(VESPIRA_PCH AND NOT kind STREQUAL "none")
        target_precompile_headers(${target} REUSE_FROM vespira_pch_${kind})
    endif()
endfunction()
