# Qt's headers are most of every file's compile time: the ones nearly every file includes are
# parsed once per kind of target and reused by every library, program and test (REUSE_FROM).
# Class headers only: Qt's module headers test which Qt modules a target links (QT_*_LIB), which
# would make the result unusable for targets linking other modules. A file still includes what
# it uses, so a build with QUILLON_PCH=OFF compiles the same.
set(quillon_pch_core <QString> <QStringList> <QVariant> <QDateTime> <QList> <QHash> <QMap> <QObject>
    <QFile> <QDir> <QFileInfo> <QSettings> <QRegularExpression> <QCoreApplication> <QTimer>
    <QSqlDatabase> <QSqlQuery> <QSqlError> <QSqlRecord>
    <memory> <functional> <optional> <vector> <algorithm>)
set(quillon_pch_gui ${quillon_pch_core} <QApplication> <QWidget> <QDialog> <QMainWindow> <QLabel>
    <QLineEdit> <QPushButton> <QComboBox> <QCheckBox> <QMessageBox> <QBoxLayout> <QGridLayout>
    <QMenu> <QMenuBar> <QAction> <QHeaderView> <QTableView> <QAbstractTableModel> <QPainter>
    <QKeyEvent> <QDateTimeEdit> <QTextEdit>)
# Qt's and the project's own libraries a target may link and still see only Qt Core and Sql;
# other libraries (SQLite, libpq, libmdb) bring no Qt.
set(quillon_pch_core_links quillon_data quillon_hotel quillon_warnings quillon_libmdb Qt6::Core Qt6::Sql)

function(quillon_pch_host name headers)
    set(source ${CMAKE_BINARY_DIR}/quillon_pch_${name}.cpp)
    if(NOT EXISTS ${source})
        file(WRITE ${source} "int main() { return 0; }\n")
    endif()
    add_executable(quillon_pch_${name} EXCLUDE_FROM_ALL ${source})
    target_link_libraries(quillon_pch_${name} PRIVATE quillon_warnings ${ARGN})
    target_precompile_headers(quillon_pch_${name} PRIVATE ${${headers}})
endfunction()

function(quillon_collect_targets dir out)
    get_property(found DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirs)
        quillon_collect_targets(${sub} more)
        list(APPEND found ${more})
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

# Every library and executable below `dir`: those that see only Qt Core and Sql reuse one host,
# the rest the other. Qt makes every target position-independent (-fPIC), so one host serves
# libraries and programs alike.
function(quillon_use_precompiled_headers dir)
    quillon_pch_host(core quillon_pch_core Qt6::Core Qt6::Sql)
    quillon_pch_host(gui quillon_pch_gui Qt6::Widgets Qt6::Sql)
    quillon_collect_targets(${dir} targets)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(sources ${target} SOURCES)
        list(FILTER sources INCLUDE REGEX "\\.cpp$")
        # A Windows GUI program gets Qt's entry point (QT_NEEDS_QMAIN), which no host shares.
        get_target_property(gui_program ${target} WIN32_EXECUTABLE)
        if(target MATCHES "^quillon_pch_" OR NOT sources OR target STREQUAL quillon_sqlite
           OR NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$" OR (WIN32 AND gui_program))
            continue()
        endif()
        get_target_property(links ${target} LINK_LIBRARIES)
        set(host core)
        foreach(link IN LISTS links)
            if(link MATCHES "^(quillon_|Qt6::)" AND NOT link IN_LIST quillon_pch_core_links)
                set(host gui)
            endif()
        endforeach()
        target_precompile_headers(${target} REUSE_FROM quillon_pch_${host})
    endforeach()
endfunction()
