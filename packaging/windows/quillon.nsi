; The Quillon installer: the program under Program Files, a Start-menu entry with its icon, and an
; uninstaller that removes the program and never the houses in the users' %LOCALAPPDATA%\quillon.
; makensis -DVERSION=... -DSTAGE=<the portable folder> -DOUTFILE=<setup.exe> quillon.nsi
; A 64-bit installer for a 64-bit program: it starts only where the program can run (32-bit Windows
; refuses it), and under Wine without Wine's 32-bit half.
Target amd64-unicode
!include "MUI2.nsh"

Name "Quillon 宾馆前台"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quillon"
InstallDirRegKey HKLM "Software\Quillon" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define MUI_ICON "${STAGE}\quillon.ico"
!define MUI_UNICON "${STAGE}\quillon.ico"
; The GPL asks no one to accept it before using the program: the page shows it and goes on.
!define MUI_LICENSEPAGE_TEXT_TOP "Quillon 依 GPL-3.0-or-later（GNU 通用公共许可证第 3 版或更新版本）发布："
!define MUI_LICENSEPAGE_TEXT_BOTTOM "随附的 Qt、SQLite、libpq、OpenSSL、libmdb、MinGW 运行库等组件的许可证文本在安装目录的 licenses 文件夹中。"
!define MUI_LICENSEPAGE_BUTTON "下一步(&N) >"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon"

Function .onInit
    SetRegView 64
FunctionEnd

Section "Quillon"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; Every user of the PC gets the entry; each keeps the house in the own application-data folder.
    SetShellVarContext all
    CreateDirectory "$SMPROGRAMS\Quillon"
    CreateShortcut "$SMPROGRAMS\Quillon\Quillon 宾馆前台.lnk" "$INSTDIR\quillon.exe" "" "$INSTDIR\quillon.ico"
    CreateShortcut "$SMPROGRAMS\Quillon\卸载 Quillon.lnk" "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "Software\Quillon" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quillon 宾馆前台"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillon.ico"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Quillon\Quillon 宾馆前台.lnk"
    Delete "$SMPROGRAMS\Quillon\卸载 Quillon.lnk"
    RMDir "$SMPROGRAMS\Quillon"
    ; Only what the installer put there; a house someone kept in this folder stays.
    RMDir /r "$INSTDIR\platforms"
    RMDir /r "$INSTDIR\styles"
    RMDir /r "$INSTDIR\sqldrivers"
    RMDir /r "$INSTDIR\imageformats"
    RMDir /r "$INSTDIR\translations"
    RMDir /r "$INSTDIR\licenses"
    Delete "$INSTDIR\qt.conf"
    Delete "$INSTDIR\*.dll"
    Delete "$INSTDIR\quillon.exe"
    Delete "$INSTDIR\quillon-createdb.exe"
    Delete "$INSTDIR\quillon.ico"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\COPYRIGHT.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\Quillon"
SectionEnd
