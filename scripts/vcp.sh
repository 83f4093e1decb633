# Sourced: reads the device's project file (device/brondelkit.vcp, eVC4's
# format, CRLF), so that the model compile and the kit's checks take the
# device build from the one file the device's tools build from.
BK_VCP=${BK_VCP:-${BK_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}/device/brondelkit.vcp}

# bk_vcp_files: every file of the project, as a path from the repository's
# top (the project names them from device/, Windows style).
bk_vcp_files() {
  tr -d '\r' <"$BK_VCP" | sed -n 's/^SOURCE=//p' | tr -d '"' | bk_vcp_path
}

# bk_vcp_path: each project path read from stdin (..\src) as a path from the
# repository's top (src).
bk_vcp_path() { tr '\\' / | sed -E 's#^\.\./##'; }

# bk_vcp_configs: the configurations the project offers.
bk_vcp_configs() {
  tr -d '\r' <"$BK_VCP" | sed -nE 's/^!MESSAGE "([^"]+)" \(based on .*/\1/p'
}

# bk_vcp_line CONFIGURATION HEAD: the rest of each line of that
# configuration's block that starts with HEAD and a space ("# ADD CPP",
# "# ADD LINK32", "# PROP Output_Dir").
bk_vcp_line() {
  tr -d '\r' <"$BK_VCP" | awk -v cfg="\"$1\"" -v head="$2 " '
    /^!(IF|ELSEIF)  "\$\(CFG\)" == / { inside = index($0, "== " cfg) > 0; next }
    /^!ENDIF/ { inside = 0 }
    inside && index($0, head) == 1 { print substr($0, length(head) + 1) }'
}

# bk_vcp_values SWITCH: the values of each SWITCH (/D, /I, /d, /i) on the
# line read from stdin, unquoted, one a line, with the SDK's macros that
# the real build fills in replaced as BK_CE_* say.
BK_CE_VERSION=${BK_CE_VERSION:-410}    # $(CEVersion): decimal, 410 for CE 4.10
BK_CE_PLATFORM=${BK_CE_PLATFORM:-WCE_PLATFORM_MODEL}
bk_vcp_values() {
  grep -oE -- "$1 (\"[^\"]*\"|[^ ]+)" | cut -d' ' -f2- | tr -d '"' |
    sed -e "s/\$(CEVersion)/$BK_CE_VERSION/g" -e "s/\$(CePlatform)/$BK_CE_PLATFORM/g"
}

# bk_vcp_option NAME: the value of /NAME:VALUE on the line read from stdin,
# unquoted (/base:"0x00010000" gives 0x00010000).
bk_vcp_option() { grep -oE -- "/$1:(\"[^\"]*\"|[^ ]+)" | head -n 1 | cut -d: -f2- | tr -d '"'; }
