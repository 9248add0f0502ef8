@echo off
rem Runs the Windows tests of Vigrel from this folder and writes their report beside them:
rem   report.txt  all the test program printed: each test, each failure with its place, each
rem               skipped test with its reason, and the summary at the end
rem   report.xml  the same results as JUnit XML, for tools
rem The exit status is the test program's: 0 when every test that ran passed.
setlocal
cd /d "%~dp0"
echo Vigrel's Windows tests are running: windows open and close for a few minutes.
echo Leave the mouse and the keyboard alone until the end.
win32_tests.exe --gtest_output=xml:report.xml >report.txt 2>&1
set status=%errorlevel%
if "%status%"=="0" (
    echo All tests passed. The report is report.txt in this folder.
) else (
    echo Some tests failed, status %status%. Send report.txt and report.xml from this folder.
)
exit /b %status%
