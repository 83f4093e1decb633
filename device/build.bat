@echo off
rem Builds one CPU's Release configuration of brondelkit.vcp with eMbedded
rem Visual C++ 4.0 for a named SDK, then its CAB with the SDK's CAB Wizard:
rem   build.bat "SDK NAME" CPU      CPU: ARMV4I, ARMV4 or MIPSII
rem Both tools are called by their full paths: EVC may name evc.exe (in
rem ...\Microsoft eMbedded C++ 4.0\Common\EVC\Bin) and CABWIZ the SDK's
rem cabwiz.exe, else each is looked for on PATH. The CAB Wizard runs only
rem with makecab.exe and cabwiz.ddf in its own folder. Writes
rem CPURel\brondelkit.exe and brondelkit.CPU.CAB beside this file.
setlocal
set SDK=%~1
set CPU=
if /I "%~2"=="ARMV4I" set CPU=ARMV4I
if /I "%~2"=="ARMV4" set CPU=ARMV4
if /I "%~2"=="MIPSII" set CPU=MIPSII
if "%SDK%"=="" goto usage
if "%CPU%"=="" goto usage
cd /d "%~dp0"

call :tool EVC evc.exe "eMbedded Visual C++ 4.0's Common\EVC\Bin"
if errorlevel 1 exit /b 1
call :tool CABWIZ cabwiz.exe "the SDK's tools folder"
if errorlevel 1 exit /b 1
rem No block holds a tool's path: a ")" in it, as in "Program Files (x86)",
rem would end the block.
set MISSING=
for %%I in ("%CABWIZ%") do set "CABDIR=%%~dpI"
for %%F in (makecab.exe cabwiz.ddf) do if not exist "%CABDIR%%%F" set "MISSING=%%F"
if defined MISSING goto nohelper

rem A read-only old file goes with /f; a locked one stays, and the tools'
rem exit statuses are not relied on: what they write is looked for.
call :remove "%CPU%Rel\brondelkit.exe"
if errorlevel 1 exit /b 1
call :remove "brondelkit.%CPU%.CAB"
if errorlevel 1 exit /b 1
call :remove cabwiz.log
if errorlevel 1 exit /b 1

"%EVC%" brondelkit.vcp /MAKE "brondelkit - Win32 (WCE %CPU%) Release" /REBUILD /CECONFIG="%SDK%"
if not exist "%CPU%Rel\brondelkit.exe" goto failed
"%CABWIZ%" brondelkit.inf /err cabwiz.log /cpu %CPU%
if not exist "brondelkit.%CPU%.CAB" goto cabfailed
echo Built %CPU%Rel\brondelkit.exe and brondelkit.%CPU%.CAB
exit /b 0

:usage
echo usage: build.bat "SDK NAME" ARMV4I^|ARMV4^|MIPSII
exit /b 2
:failed
echo build.bat: the build of brondelkit - Win32 (WCE %CPU%) Release for "%SDK%" made no %CPU%Rel\brondelkit.exe
echo eVC4's build log: %~dp0brondelkit.vcl
exit /b 1
:cabfailed
echo build.bat: the CAB Wizard made no brondelkit.%CPU%.CAB
echo its log: %~dp0cabwiz.log
exit /b 1
:nohelper
echo build.bat: no %MISSING% in %CABDIR%: the CAB Wizard runs only with makecab.exe and cabwiz.ddf beside cabwiz.exe
exit /b 1

rem call :tool VAR FILE WHERE: VAR becomes the full path of the tool FILE,
rem the one VAR already names, else the first FILE on PATH.
:tool
setlocal
call set "found=%%%~1%%"
if defined found set "found=%found:"=%"
if not defined found for %%I in (%~2) do set "found=%%~$PATH:I"
if not defined found goto notool
if not exist "%found%" goto notool
endlocal & set "%~1=%found%"
exit /b 0
:notool
if defined found echo build.bat: %~1 names %found%, which does not exist
echo build.bat: no %~2: set %~1 to its full path, or put its folder, %~3, on PATH
endlocal
exit /b 1

rem call :remove FILE: deletes FILE, and stops the build when it is still there.
:remove
if exist "%~1" del /f /q "%~1"
if not exist "%~1" exit /b 0
echo build.bat: the old %~f1 cannot be deleted: close the program that holds it open and run again
exit /b 1
