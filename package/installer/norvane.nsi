; The setup of Norvane!, and its uninstaller.
;
; Made by the build (cmake/setup.cmake) from the staged program folder:
;   makensis -DVERSION=2.0.1 -DVERSION_MAJOR=2 -DVERSION_MINOR=0 -DVERSION_REVISION=1
;            -DFILE_LISTS=<folder with install_files.nsh and uninstall_files.nsh>
;            -DHANDBACK=<hosts_handback.exe> -DICON=<norvane.ico> -DOUTFILE=<setup.exe>
;            [-DSIGN_TOOL=<tools/lib/sign_pe.sh> -DSIGN_CERT=<certificate.p12>]
;            norvane.nsi
;
; Exit codes of a silent setup: 0 installed, 1 cancelled, 2 another setup or
; a Norvane that will not close stopped it, 3 a newer Norvane is installed
; (an older setup never replaces it).
;
; Norvane! rewrites the system's HOSTS file while it runs and puts the user's
; own lines back when it ends. So both the setup and the uninstaller first ask
; a running Norvane! to close (its exit sequence) and wait for it to end
; before they change any file; neither writes the HOSTS file itself, except
; that the uninstaller hands a killed run's backup back (hosts_handback.exe)
; before the folder that holds that backup goes away.

!ifndef VERSION | FILE_LISTS | HANDBACK | ICON | OUTFILE
  !error "norvane.nsi is made by the build: see cmake/setup.cmake"
!endif

; A 64-bit setup for the 64-bit program: it sees the same Program Files,
; System32 and registry as norvane.exe, with no WOW64 redirection between them.
Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; A file that cannot be replaced stops the setup instead of being skipped.
AllowSkipFiles off

!define PRODUCT "Norvane!"
!define PUBLISHER "Norvane"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Norvane"
; Start with Windows, as the program records it.
!define RUN_KEY "SOFTWARE\MICROSOFT\WINDOWS\CURRENTVERSION\RUN"
!define RUN_VALUE "Norvane.exe"
!define TASK_NAME "Norvane"
!define SETTINGS_KEY "Software\Norvane"
; The hidden main window of a running Norvane!; WM_CLOSE runs its exit sequence.
!define MAIN_CLASS "NorvaneMain"
!define SHORTCUT "$SMPROGRAMS\Norvane!.lnk"
!define CLOSE_WAIT_MS 20000
!define CLOSE_WAIT_S 20

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Norvane"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"
!include "Win/WinNT.nsh"
!include "Win/WinError.nsh"
!include "WordFunc.nsh"

; With a code-signing certificate the setup and its uninstaller are signed
; as makensis writes them (norvane.exe is signed by the build before).
!ifdef SIGN_TOOL & SIGN_CERT
  !finalize '"${SIGN_TOOL}" "${SIGN_CERT}" "%1"' = 0
  !uninstfinalize '"${SIGN_TOOL}" "${SIGN_CERT}" "%1"' = 0
!endif

; Whether this setup closed a running Norvane!, which then is started again.
Var NorvaneClosed
; 1 when Norvane is installed already: the setup then upgrades it in place.
Var Upgrade

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}/wizard.bmp"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION}, which keeps banner ads, popup windows and cookies away from your web browser.$\r$\n$\r$\nIf ${PRODUCT} is running, Setup closes it first; your own HOSTS file and the lists you edited are kept.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
; An upgrade goes into the installed folder: a second copy elsewhere would
; share the Apps & features entry and the settings with the first.
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipFolderOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartNorvane
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_REVISION}.0"
VIFileVersion "${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_REVISION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

; Asks every running Norvane! to close and waits for its process to end.
; One that does not end in time is reported; the user may close it and retry,
; a silent run gives up (exit code 2) rather than hang or replace its files.
!macro CLOSE_NORVANE un
Function ${un}CloseNorvane
  StrCpy $R6 0
  ${Do}
    FindWindow $R0 "${MAIN_CLASS}"
    ${If} $R0 = 0
      ${Break}
    ${EndIf}
    DetailPrint "Closing ${PRODUCT} (it puts your own HOSTS lines back as it ends)"
    System::Call 'user32::GetWindowThreadProcessId(p R0, *i .R1)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i R1) p .R2'
    ; A window already asked keeps its one request: a second one could start
    ; a second exit sequence.
    ${If} $R0 <> $R6
      System::Call 'user32::PostMessage(p R0, i ${WM_CLOSE}, p 0, p 0)'
      StrCpy $R6 $R0
    ${EndIf}
    ${If} $R2 <> 0
      System::Call 'kernel32::WaitForSingleObject(p R2, i ${CLOSE_WAIT_MS}) i .R3'
      System::Call 'kernel32::CloseHandle(p R2)'
    ${Else}
      ; No handle to wait on: wait for the window to go instead.
      StrCpy $R3 1
      ${For} $R4 1 200
        System::Call 'user32::IsWindow(p R0) i .R5'
        ${If} $R5 = 0
          StrCpy $R3 0
          ${Break}
        ${EndIf}
        Sleep 100
      ${Next}
    ${EndIf}
    ${If} $R3 = 0
      StrCpy $NorvaneClosed 1
      DetailPrint "${PRODUCT} has ended"
      ${Continue}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} did not close within ${CLOSE_WAIT_S} seconds.$\r$\n$\r$\nClose it yourself (right click its icon near the clock and choose Exit), then choose Retry." /SD IDCANCEL IDRETRY +2
    Abort "${PRODUCT} is still running, so nothing was changed."
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_NORVANE ""
!insertmacro CLOSE_NORVANE "un."

Function .onInit
  System::Call 'kernel32::CreateMutex(p 0, i 0, t "Norvane.Setup") p .r0 ?e'
  Pop $1
  ${If} $1 = ${ERROR_ALREADY_EXISTS}
    MessageBox MB_OK|MB_ICONEXCLAMATION "${PRODUCT} Setup is already running." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  StrCpy $NorvaneClosed 0
  Call FindInstalled
FunctionEnd

; An installed Norvane (its entry, and its program still in the folder the
; entry names) is upgraded where it is, whatever /D= says. An older setup
; does not replace a newer Norvane: a silent one ends with exit code 3, an
; interactive one asks first (No is the default).
Function FindInstalled
  StrCpy $Upgrade 0
  SetRegView 64
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ReadRegStr $1 HKLM "${UNINST_KEY}" "DisplayVersion"
  ${If} $0 == ""
  ${OrIfNot} ${FileExists} "$0\norvane.exe"
    Return
  ${EndIf}
  StrCpy $Upgrade 1
  StrCpy $INSTDIR $0
  ${VersionCompare} "$1" "${VERSION}" $2
  ${If} $2 = 1
    MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "${PRODUCT} $1 is installed, which is newer than this setup's ${VERSION}.$\r$\n$\r$\nReplace it with the older ${VERSION}?" /SD IDNO IDYES +3
    SetErrorLevel 3
    Abort
  ${EndIf}
FunctionEnd

Function SkipFolderOnUpgrade
  ${If} $Upgrade = 1
    Abort
  ${EndIf}
FunctionEnd

Section "${PRODUCT}" SecMain
  SectionIn RO
  Call CloseNorvane
  SetOverwrite on
  ; The program's files; the lists "data\*.svr" only when absent.
  !include "${FILE_LISTS}/install_files.nsh"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninst.exe"

  SetShellVarContext all
  CreateShortCut "${SHORTCUT}" "$INSTDIR\norvane.exe" "" "$INSTDIR\norvane.exe" 0 SW_SHOWNORMAL "" "Blocks banner ads, popup windows and cookies"

  SetRegView 64
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegDWORD HKLM "${UNINST_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKLM "${UNINST_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\norvane.exe,0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninst.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; A silent upgrade starts the Norvane! it closed; an interactive one offers
; that on its last page.
Function .onInstSuccess
  ${If} ${Silent}
  ${AndIf} $NorvaneClosed = 1
    Call StartNorvane
  ${EndIf}
FunctionEnd

Function StartNorvane
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\norvane.exe"'
FunctionEnd

; A Norvane! of this folder that runs in another session (its window is not
; on this desktop, so CloseNorvane does not see it) still holds norvane.exe
; open as its image: then nothing may go from under it. Interactive: says so,
; and the user may close it and retry; silent: exit code 3.
Function un.RefuseWhileInUse
  ${Do}
    ${IfNot} ${FileExists} "$INSTDIR\norvane.exe"
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\norvane.exe", i ${GENERIC_WRITE}, i 0, p 0, i 3, i 0x80, p 0) p .R0 ?e'
    Pop $R1
    ${If} $R0 P<> -1
      System::Call 'kernel32::CloseHandle(p R0)'
      ${Break}
    ${EndIf}
    ${If} $R1 <> ${ERROR_SHARING_VIOLATION}
      ${Break}
    ${EndIf}
    DetailPrint "$INSTDIR\norvane.exe is in use (error $R1)"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is still running, for you or for another user signed in to this computer.$\r$\n$\r$\nClose it there (right click its icon near the clock and choose Exit), then choose Retry." /SD IDCANCEL IDRETRY +3
    SetErrorLevel 3
    Abort "${PRODUCT} is still running, so nothing was removed."
  ${Loop}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Call un.CloseNorvane
  Call un.RefuseWhileInUse

  ; The user's HOSTS lines come back before the backup that holds them goes;
  ; the temporary files of a HOSTS rewrite that was cut short go too.
  InitPluginsDir
  File "/oname=$PLUGINSDIR\hosts_handback.exe" "${HANDBACK}"
  nsExec::ExecToLog '"$PLUGINSDIR\hosts_handback.exe" "$INSTDIR"'
  Pop $0
  ${If} $0 != 0
  ${AndIf} $0 != 2
    MessageBox MB_OK|MB_ICONSTOP "Your HOSTS file could not be given back your own lines, so ${PRODUCT} was not removed: those lines are kept in $INSTDIR\data\hosts.bak.$\r$\n$\r$\nClose any program that uses the HOSTS file, then uninstall again." /SD IDOK
    Abort "Uninstall stopped: the HOSTS file could not be written."
  ${EndIf}
  SetOutPath "$TEMP"

  ; Start with Windows: the Run value, the log-on task, the marker file.
  SetRegView 64
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /TN "${TASK_NAME}" /F'
  Pop $0
  ${If} $0 = 0
    DetailPrint "Removed the log-on task ${TASK_NAME}"
  ${EndIf}
  Delete "$INSTDIR\start.ini"

  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINST_KEY}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"

  ; What the program wrote, by name (logs, backup, its record of its own HOSTS
  ; lines, temporary files of a cut-short rewrite), then what the setup
  ; installed. Other files in a folder the user chose stay, with the folder.
  Delete "$INSTDIR\ads.log"
  Delete "$INSTDIR\cookies.log"
  Delete "$INSTDIR\err.log"
  Delete "$INSTDIR\*.nvtmp*"
  Delete "$INSTDIR\data\hosts.bak"
  Delete "$INSTDIR\data\hosts.own"
  Delete "$INSTDIR\data\lists.state"
  Delete "$INSTDIR\data\list-*.txt"
  Delete "$INSTDIR\data\*.nvtmp*"
  !include "${FILE_LISTS}/uninstall_files.nsh"
  Delete "$INSTDIR\uninst.exe"
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\*.*"
    DetailPrint "$INSTDIR was kept: it holds files that ${PRODUCT} did not put there."
  ${EndIf}
SectionEnd
