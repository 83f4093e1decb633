@echo off
rem Builds one CPU's Release configuration of brondelkit.vcp with eMbedded
rem Visual C++ 4.0 for a named SDK, then its CAB with the SDK's CAB Wizard:
rem   build.bat "SDK NAME" CPU      CPU: ARMV4I, ARMV4 or MIPSII
rem evc.exe (in ...\Microsoft eMbedded C++ 4.0\Common\EVC\Bin) and cabwiz.exe
rem (in the SDK's tools) must be on PATH. Writes CPURel\brondelkit.exe and
rem brondelkit.CPU.CAB beside this file.
setlocal
set SDK=%~1
set CPU=
if /I "%~2"=="ARMV4I" set CPU=ARMV4I
if /I "%~2"=="ARMV4" set CPU=ARMV4
if /I "%~2"=="MIPSII" set CPU=MIPSII
if "%SDK%"=="" goto usage
if "%CPU%"=="" goto usage
cd /d "%~dp0"

rem evc's exit status is not relied on: the built program is looked for.
if exist "%CPU%Rel\brondelkit.exe" del "%CPU%Rel\brondelkit.exe"
evc brondelkit.vcp /MAKE "brondelkit - Win32 (WCE %CPU%) Release" /REBUILD /CECONFIG="%SDK%"
if not exist "%CPU%Rel\brondelkit.exe" goto failed

if exist "brondelkit.%CPU%.CAB" del "brondelkit.%CPU%.CAB"
cabwiz brondelkit.inf /err cabwiz.log /cpu %CPU%
if not exist "brondelkit.%CPU%.CAB" goto cabfailed
echo Built %CPU%Rel\brondelkit.exe and brondelkit.%CPU%.CAB
exit /b 0

:usage
echo usage: build.bat "SDK NAME" ARMV4I^|ARMV4^|MIPSII
exit /b 2
:failed
echo The build of brondelkit - Win32 (WCE %CPU%) Release for "%SDK%" made no %CPU%Rel\brondelkit.exe
exit /b 1
:cabfailed
echo cabwiz made no brondelkit.%CPU%.CAB: see cabwiz.log
exit /b 1
