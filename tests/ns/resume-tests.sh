# Sourced: the end-to-end tests of the resume roads. They run on a Wine
# desktop of the device's size (e2e_resume.sh), where focus and activation
# are the platform's as on the device; the rest on the bare display.
BK_RESUME_TESTS='Program.*Resume*:Program.*Burst*:Program.PowerManager*:ResumeTool.*'
