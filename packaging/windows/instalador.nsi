; The Windows installer of TransOrbelinZARE, in Spanish. It installs into the folder of Orbelin,
; because Orbelin reads the result record from Orbelin.ini beside our executable; that folder must
; be writable by the person who works with Orbelin, so the installer runs without elevation and
; refuses a folder it cannot write into.
;
; Defines from the build (packaging/windows/CMakeLists.txt):
;   VERSION, VERSION4 (four numbers), SALIDA (the setup.exe), CLI (transorbelin.exe),
;   AYUDA (ZARE.CHM), LEEME (the text file), and VENTANAS (TransOrbelinZARE.exe) once the build
;   makes it.
; Silent: setup.exe /S /D=C:\Orbelin   (exit status 0 installed, 2 no folder given, or one that
; cannot be made or written into)

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define PRODUCTO "TransOrbelinZARE"
!define DESINSTALADOR "Desinstalar TransOrbelinZARE.exe"
!define NOMBRE_LEEME "LEEME-TransOrbelinZARE.txt"
!define CLAVE_DESINSTALAR "Software\Microsoft\Windows\CurrentVersion\Uninstall\TransOrbelinZARE"
!define CLAVE_PROGRAMA "Software\TransOrbelinZARE"

Name "${PRODUCTO} ${VERSION}"
OutFile "${SALIDA}"
; No InstallDir: NSIS puts it in place of a /D= folder it finds unusable (a path through a
; file, say), and a silent installation would then go quietly somewhere else. The folder shown
; first is set in .onInit instead.
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCTO} ${VERSION}"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=3082 "ProductName" "${PRODUCTO}"
VIAddVersionKey /LANG=3082 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=3082 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=3082 "FileDescription" "Instalador de ${PRODUCTO}"
VIAddVersionKey /LANG=3082 "LegalCopyright" "${PRODUCTO}"

!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Este asistente instala ${PRODUCTO} ${VERSION}, que pasa los datos del horario entre ZARE (ficheros CSV) y Orbelin (tablas de la carpeta C:\ZTEMP).$\r$\n$\r$\nInstálelo en la carpeta de Orbelin: Orbelin abre el programa desde allí y lee su resultado en el fichero Orbelin.ini de esa carpeta.$\r$\n$\r$\nPulse Siguiente para continuar."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Elija la carpeta de Orbelin. ${PRODUCTO} deja su resultado en el fichero Orbelin.ini de esta carpeta, así que quien trabaja con Orbelin tiene que poder escribir en ella. Una carpeta dentro de «Archivos de programa» no sirve."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Carpeta de Orbelin"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\${NOMBRE_LEEME}"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Ver el fichero LEEME"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
; (A page's callback is defined just before the page it belongs to.)
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CompruebaCarpeta
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

!define TEXTO_NO_SE_PUEDE_ESCRIBIR "No se puede escribir en la carpeta$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\n${PRODUCTO} deja su resultado para Orbelin en el fichero Orbelin.ini de la carpeta en la que se instala, así que quien trabaja con Orbelin tiene que poder escribir en ella.$\r$\n$\r$\nElija la carpeta de Orbelin, o pida a quien administra el equipo permiso de escritura en esa carpeta. Una carpeta dentro de «Archivos de programa» no sirve."

; $0 := 1 when a file can be created in $INSTDIR, else 0. A missing folder is made for the probe
; and removed again; the probe file is removed at once.
Function PuedeEscribir
  StrCpy $2 0
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $2 1
  ${EndIf}
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $1 "$INSTDIR\~${PRODUCTO}.prueba" w
  ${If} ${Errors}
    StrCpy $0 0
  ${Else}
    FileClose $1
    Delete "$INSTDIR\~${PRODUCTO}.prueba"
    StrCpy $0 1
  ${EndIf}
  ${If} $2 == 1
    RMDir "$INSTDIR"
  ${EndIf}
FunctionEnd

; Leaving the folder page: a folder that cannot be written into is refused and the page stays.
Function CompruebaCarpeta
  Call PuedeEscribir
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONSTOP "${TEXTO_NO_SE_PUEDE_ESCRIBIR}"
    Abort
  ${EndIf}
FunctionEnd

; A silent installation has no pages: it needs /D=, and that folder is checked before anything
; else; either lacking, exit status 2. With pages, the folder offered first is the one of the
; last installation, else C:\Orbelin.
Function .onInit
  ${If} ${Silent}
    ${If} $INSTDIR == ""
      SetErrorLevel 2
      Quit
    ${EndIf}
    Call PuedeEscribir
    ${If} $0 != 1
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${ElseIf} $INSTDIR == ""
    ReadRegStr $INSTDIR HKCU "${CLAVE_PROGRAMA}" "Carpeta"
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "C:\Orbelin"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "${PRODUCTO}" Principal
  ; Checked again here, in case the folder changed since it was chosen.
  Call PuedeEscribir
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONSTOP "${TEXTO_NO_SE_PUEDE_ESCRIBIR}" /SD IDOK
    SetErrorLevel 2
    Abort "No se puede escribir en la carpeta $INSTDIR"
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "/oname=transorbelin.exe" "${CLI}"
!ifdef VENTANAS
  File "/oname=TransOrbelinZARE.exe" "${VENTANAS}"
!endif
  File "/oname=ZARE.CHM" "${AYUDA}"
  File "/oname=${NOMBRE_LEEME}" "${LEEME}"
  WriteUninstaller "$INSTDIR\${DESINSTALADOR}"

  SetShellVarContext current
!ifdef VENTANAS
  CreateShortCut "$SMPROGRAMS\${PRODUCTO}.lnk" "$INSTDIR\TransOrbelinZARE.exe"
!endif
  CreateShortCut "$SMPROGRAMS\Ayuda de ${PRODUCTO}.lnk" "$INSTDIR\ZARE.CHM"

  WriteRegStr HKCU "${CLAVE_PROGRAMA}" "Carpeta" "$INSTDIR"
  WriteRegStr HKCU "${CLAVE_DESINSTALAR}" "DisplayName" "${PRODUCTO}"
  WriteRegStr HKCU "${CLAVE_DESINSTALAR}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${CLAVE_DESINSTALAR}" "Publisher" "${PRODUCTO}"
  WriteRegStr HKCU "${CLAVE_DESINSTALAR}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${CLAVE_DESINSTALAR}" "UninstallString" '"$INSTDIR\${DESINSTALADOR}"'
  WriteRegStr HKCU "${CLAVE_DESINSTALAR}" "QuietUninstallString" '"$INSTDIR\${DESINSTALADOR}" /S'
  WriteRegDWORD HKCU "${CLAVE_DESINSTALAR}" "NoModify" 1
  WriteRegDWORD HKCU "${CLAVE_DESINSTALAR}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes: Orbelin.ini and every other file of Orbelin's folder
; stay, and so does the folder.
Section "Uninstall"
  Delete "$INSTDIR\transorbelin.exe"
!ifdef VENTANAS
  Delete "$INSTDIR\TransOrbelinZARE.exe"
!endif
  Delete "$INSTDIR\ZARE.CHM"
  Delete "$INSTDIR\${NOMBRE_LEEME}"
  Delete "$INSTDIR\${DESINSTALADOR}"
  RMDir "$INSTDIR"

  SetShellVarContext current
!ifdef VENTANAS
  Delete "$SMPROGRAMS\${PRODUCTO}.lnk"
!endif
  Delete "$SMPROGRAMS\Ayuda de ${PRODUCTO}.lnk"

  DeleteRegKey HKCU "${CLAVE_DESINSTALAR}"
  DeleteRegKey HKCU "${CLAVE_PROGRAMA}"
SectionEnd
