# The cases of tests/install/run; sourced. Each prints what it found wrong and fails.
# Globals from run: root, build, work.

product=澄远宽带拨号客户端
version=$(sed -n 's/^#define TARNIX_VERSION_TEXT "\(.*\)"/\1/p' "$root/res/version.h")
# The update check's form of it: major.minor, a decimal number.
update_version=$(sed -n 's/^#define TARNIX_VERSION_MAJOR \([0-9]*\).*/\1/p' "$root/res/version.h").$(
  sed -n 's/^#define TARNIX_VERSION_MINOR \([0-9]*\).*/\1/p' "$root/res/version.h")

# --- help.chm -----------------------------------------------------------------------------

chm_ready() {
  [ -s "$build/help.chm" ] || { echo "no help.chm in $build (the build compiles it)"; return 1; }
  if [ ! -d "$work/chm" ]; then
    chmls -p -n list "$build/help.chm" 2>/dev/null | grep '^/' | sed 's#^/##' | grep -v '/$' >"$work/chm.list"
    chmls extractall "$build/help.chm" "$work/chm" >/dev/null 2>&1 || { echo "chmls cannot extract help.chm"; return 1; }
  fi
}

# The text of an extracted file of the help, in UTF-8 (the help is in the Chinese ANSI code page).
chm_text() { iconv -f CP936 -t UTF-8 "$work/chm/$1"; }

help_lists_every_topic() {
  chm_ready || return 1
  local bad=0 page name local
  for page in "$root"/help/topics/*.html; do
    name=$(basename "$page")
    grep -qx "$name" "$work/chm.list" || { echo "topic $name is not in help.chm"; bad=1; }
  done
  for name in contents.hhc index.hhk; do
    grep -qx "$name" "$work/chm.list" || { echo "$name is not in help.chm"; bad=1; }
  done
  for name in $(grep '\.html$' "$work/chm.list"); do
    chm_text "$name" >/dev/null 2>&1 || { echo "$name is not in the Chinese code page"; bad=1; }
    grep -qi 'charset=gb2312' "$work/chm/$name" || { echo "$name does not declare its code page"; bad=1; }
  done
  for name in contents.hhc index.hhk; do
    [ -f "$work/chm/$name" ] || continue
    local entries
    entries=$(grep -c 'name="Local"' "$work/chm/$name")
    [ "$entries" -ge 10 ] || { echo "$name has only $entries entries"; bad=1; }
    for local in $(grep -o 'name="Local" value="[^"]*"' "$work/chm/$name" | sed 's/.*value="//; s/"$//; s/#.*//'); do
      grep -qx "$local" "$work/chm.list" || { echo "$name names $local, which is not in help.chm"; bad=1; }
    done
  done
  echo "$(grep -c '\.html$' "$work/chm.list") topics"
  return $bad
}

# Every window the client and its updater have, by the title its template gives it, is named
# in a topic, and every page of a tabbed window has an entry in the contents.
help_every_window_has_a_topic() {
  chm_ready || return 1
  local text="$work/help.txt" bad=0 rc title page
  for page in $(grep '\.html$' "$work/chm.list"); do chm_text "$page"; done >"$text"
  for rc in "$root"/res/*.rc "$root"/tools/updata/*.rc; do
    [ -f "$rc" ] || continue
    local utf8="$work/rc.txt"
    # Templates are UTF-8 (with a code_page pragma) or else in the Chinese ANSI code page.
    iconv -f UTF-8 -t UTF-8 "$rc" >"$utf8" 2>/dev/null || iconv -f CP936 -t UTF-8 "$rc" >"$utf8"
    while IFS= read -r title; do
      [ -n "$title" ] || continue
      grep -qF "$title" "$text" || { echo "no topic names the window \"$title\" ($(basename "$rc"))"; bad=1; }
    done < <(sed -n 's/^CAPTION *"\(.*\)" *$/\1/p' "$utf8")
  done
  local contents
  contents=$(chm_text contents.hhc)
  for page in 主窗口 用户登录 辅助功能 推荐服务 宽带服务 上网记录查询 添加上网记录 上网统计图 统计信息 \
              用户管理 宽带故障检测 用户设置 运行设置 升级设置 关机设置 代理设置 历史消息管理 新闻窗口 关于; do
    grep -q "name=\"Name\" value=\"[^\"]*$page" <<<"$contents" || { echo "the contents have no entry for $page"; bad=1; }
  done
  return $bad
}

help_links_and_pictures_resolve() {
  chm_ready || return 1
  local bad=0 page target path links=0 pictures=0
  for page in $(grep '\.html$' "$work/chm.list"); do
    while IFS= read -r target; do
      case $target in http:*|https:*|mailto:*|"#"*|"") continue ;; esac
      path=$(realpath -m --relative-to="$work/chm" "$work/chm/$(dirname "$page")/${target%%#*}")
      links=$((links + 1))
      grep -qx "$path" "$work/chm.list" || { echo "$page links to $target, which is not in help.chm"; bad=1; }
    done < <(grep -o '\(href\|src\)="[^"]*"' "$work/chm/$page" | sed 's/^[a-z]*="//; s/"$//')
    while IFS= read -r target; do
      pictures=$((pictures + 1))
      path=$work/chm/$(dirname "$page")/$target
      [ "$(head -c 4 "$path" 2>/dev/null | tail -c 3)" = PNG ] || { echo "$page shows $target, which is not a picture"; bad=1; }
    done < <(grep -o 'src="[^"]*\.png"' "$work/chm/$page" | sed 's/^src="//; s/"$//')
  done
  echo "$links links, $pictures pictures"
  [ "$pictures" -gt 0 ] || { echo "the help shows no pictures"; bad=1; }
  return $bad
}

# --- the installer under Wine -------------------------------------------------------------

setup=${TARNIX_DIST_DIR:-$root/build/dist}/Tarnix-setup-$version.exe
wine_state=

# A fresh Wine prefix of the tests' own, and the folders the installer writes to.
wine_ready() {
  [ "$wine_state" = ready ] && return 0
  [ "$wine_state" = broken ] && { echo "Wine could not be prepared (see the first case)"; return 1; }
  wine_state=broken
  export TARNIX_WINEPREFIX=${TARNIX_INSTALL_WINEPREFIX:-$root/build/install-wine}
  [ -d "$TARNIX_WINEPREFIX" ] && { WINEPREFIX=$TARNIX_WINEPREFIX wineserver -k 2>/dev/null; rm -rf "$TARNIX_WINEPREFIX"; }
  . "$root/scripts/wine-env"
  "$root/scripts/wine-run" cmd /c exit >/dev/null 2>&1 || { echo "Wine does not start"; return 1; }
  local local_win appdata_win desktop_win
  local_win=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
  appdata_win=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
  desktop_win=$(wine cmd /c echo %USERPROFILE%\\Desktop 2>/dev/null | tr -d '\r')
  install_win="$local_win\\Tarnix"
  install=$(winepath -u "$install_win" 2>/dev/null)
  start_menu="$(winepath -u "$appdata_win" 2>/dev/null)/Microsoft/Windows/Start Menu/Programs/$product"
  desktop=$(winepath -u "$desktop_win" 2>/dev/null)
  [ -n "$install" ] && [ -n "$desktop" ] || { echo "Wine does not tell its folders"; return 1; }
  wine_state=ready
}

reg_value() {  # KEY NAME: the value's data, or nothing
  # reg writes in the console's code page, the Chinese ANSI one here.
  wine reg query "$1" /v "$2" 2>/dev/null | iconv -f CP936 -t UTF-8 | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnix'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

install_silently() {
  [ -f "$setup" ] || { echo "no installer $setup (scripts/build-installer makes it)"; return 1; }
  timeout 300 wine "$setup" /S "$@" || { echo "the installer ended with $?"; return 1; }
}
uninstall_silently() {
  [ -f "$install/uninst.exe" ] || { echo "no uninstaller in $install"; return 1; }
  # The uninstaller runs from a copy in the temporary folder and ends at once.
  timeout 300 wine "$install/uninst.exe" /S "$@" || { echo "the uninstaller ended with $?"; return 1; }
  timeout 120 wineserver -w
}

# A shown window of this prefix titled TITLE (other suites may run clients on the display).
prefix_window() {
  local window pid
  for window in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    pid=$(xdotool getwindowpid "$window" 2>/dev/null) || continue
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      { echo "$window"; return; }
  done
}
client_window() { prefix_window "$product"; }
await_window() {  # TITLE SECONDS: the window once it shows
  local window= i
  for i in $(seq $(($2 * 10))); do window=$(prefix_window "$1"); [ -n "$window" ] && break; sleep 0.1; done
  echo "$window"
}

# "帮助    F1" in the main window's "帮助(H)" menu, with the mouse as a subscriber would.
click_help_command() {
  xdotool mousemove --window "$1" 145 32 click 1
  sleep 1
  xdotool mousemove --window "$1" 150 52 click 1
}

installer_silent_install() {
  wine_ready || return 1
  install_silently || return 1
  local bad=0 file
  for file in Tarnix.exe help.chm uninst.exe; do
    [ -f "$install/$file" ] || { echo "$file was not installed into $install_win"; bad=1; }
  done
  cmp -s "$build/Tarnix.exe" "$install/Tarnix.exe" || { echo "the installed Tarnix.exe is not the built one"; bad=1; }
  if [ -f "$build/Updata.exe" ]; then
    cmp -s "$build/Updata.exe" "$install/Updata.exe" || { echo "Updata.exe was not installed"; bad=1; }
  fi
  tr -d '\r' <"$install/UpdateConfig.ini" 2>/dev/null | grep -qx "Version=$update_version" ||
    { echo "UpdateConfig.ini does not state version $update_version"; bad=1; }
  tr -d '\r' <"$install/UpdateConfig.ini" 2>/dev/null | grep -q "^URL=http://" ||
    { echo "UpdateConfig.ini names no version list"; bad=1; }
  for file in LinkAgent.ini config.xml MessageInfo.xml Settings.ini data; do
    [ ! -e "$install/$file" ] || { echo "the installer wrote $file"; bad=1; }
  done
  for file in "$product.lnk" "${product}帮助.lnk" "卸载$product.lnk"; do
    [ -f "$start_menu/$file" ] || { echo "no Start-menu shortcut $file"; bad=1; }
  done
  [ -f "$desktop/$product.lnk" ] || { echo "no desktop shortcut"; bad=1; }
  [ "$(reg_value "$uninstall_key" DisplayVersion)" = "$version" ] ||
    { echo "the list of programs does not show version $version"; bad=1; }
  [ "$(reg_value "$uninstall_key" DisplayName)" = "$product" ] || { echo "the list of programs does not name the client"; bad=1; }
  reg_value "$uninstall_key" UninstallString | grep -qF "$install_win\\uninst.exe" ||
    { echo "the list of programs does not name the uninstaller"; bad=1; }
  return $bad
}

installer_client_starts() {
  wine_ready || return 1
  [ -f "$install/Tarnix.exe" ] || { echo "not installed"; return 1; }
  # The files a subscriber's client has made by the time of an upgrade.
  mkdir -p "$install/data/record"
  printf '<?xml version="1.0" encoding="GB2312"?>\r\n<CONFIG><UPDATESET>0</UPDATESET><passwordstatus>1</passwordstatus><StartUp>0</StartUp><Autoconnect>0</Autoconnect><Alwaysconnect>0</Alwaysconnect><Reconnect>1</Reconnect><RedialTimegrap>30</RedialTimegrap><RedialTrytimes>4321</RedialTrytimes><MsgPop>1</MsgPop></CONFIG>\r\n' >"$install/config.xml"
  printf '<?xml version="1.0" encoding="GB2312"?>\r\n<record><ITEM user="keepme" start_time="2026-11-03 08:00:00" end_time="2026-11-03 09:30:00" ip="10.0.0.9" error_code="\xd5\xfd\xb3\xa3\xb6\xcf\xbf\xaa" send="1200" recv="34000"/></record>\r\n' >"$install/data/record/2026-11.xml"
  printf '[Group]\r\nCount=1\r\n' >"$install/Settings.ini"
  (wine "$install_win\\Tarnix.exe" >/dev/null 2>&1 &)
  local window= i
  for i in $(seq 300); do window=$(client_window); [ -n "$window" ] && break; sleep 0.1; done
  [ -n "$window" ] || { echo "the installed client shows no window within 30 s"; return 1; }
  # Taken once the client runs: it rewrites Settings.ini in its own form as it starts.
  (cd "$work" && md5sum "$install/config.xml" "$install/data/record/2026-11.xml" "$install/Settings.ini" >user-files.md5)
  echo "the client's window: $window"
}

# The client's help command opens the installed help.chm, and says so when it is missing.
installer_help_command() {
  wine_ready || return 1
  local client prompt viewer
  client=$(client_window)
  [ -n "$client" ] || { echo "no client runs"; return 1; }
  mv "$install/help.chm" "$install/help.chm.away" || return 1
  click_help_command "$client"
  prompt=$(await_window 提示 10)
  mv "$install/help.chm.away" "$install/help.chm"
  [ -n "$prompt" ] || { echo "without help.chm the help command says nothing"; return 1; }
  # Its one button, "确定", stands centred at the bottom.
  eval "$(xdotool getwindowgeometry --shell "$prompt")"
  xdotool mousemove --window "$prompt" $((WIDTH / 2)) $((HEIGHT - 20)) click 1
  local i
  for i in $(seq 50); do [ -z "$(prefix_window 提示)" ] && break; sleep 0.1; done
  [ -z "$(prefix_window 提示)" ] || { echo "the missing-help message does not close"; return 1; }
  [ -n "$(client_window)" ] || { echo "the client ended after the missing-help message"; return 1; }
  click_help_command "$client"
  viewer=$(await_window "${product}帮助" 15)
  [ -n "$viewer" ] || { echo "the help command shows no help viewer"; return 1; }
}

installer_upgrade_keeps_user_files() {
  wine_ready || return 1
  [ -f "$work/user-files.md5" ] || { echo "no client was started"; return 1; }
  [ -n "$(client_window)" ] || echo "note: the client is not running before the upgrade"
  echo "an older help" >"$install/help.chm"
  # The updater that starts an installer is still running while it replaces the updater.
  local updater=
  if [ -f "$build/Updata.exe" ]; then
    (wine "$install_win\\Updata.exe" >/dev/null 2>&1 &)
    updater=$(await_window 澄远宽带客户端升级 15)
    [ -n "$updater" ] || echo "note: the updater shows no window"
  fi
  install_silently || return 1
  local bad=0
  if [ -f "$build/Updata.exe" ]; then
    cmp -s "$build/Updata.exe" "$install/Updata.exe" || { echo "the upgrade did not replace a running Updata.exe"; bad=1; }
    [ -n "$updater" ] && kill "$(xdotool getwindowpid "$updater")" 2>/dev/null
  fi
  [ -z "$(client_window)" ] || { echo "the client still runs after the upgrade"; bad=1; }
  md5sum --quiet -c "$work/user-files.md5" || { echo "the upgrade changed the user's files"; bad=1; }
  cmp -s "$build/help.chm" "$install/help.chm" || { echo "the upgrade did not replace help.chm"; bad=1; }
  cmp -s "$build/Tarnix.exe" "$install/Tarnix.exe" || { echo "the upgrade did not leave the new Tarnix.exe"; bad=1; }
  [ ! -e "$install/Tarnix.exe.old" ] || { echo "the upgrade left Tarnix.exe.old"; bad=1; }
  timeout 60 wineserver -w
  return $bad
}

uninstaller_keeps_data() {
  wine_ready || return 1
  [ -f "$work/user-files.md5" ] || { echo "no user files were placed"; return 1; }
  [ -z "$(client_window)" ] || { echo "a client still runs"; return 1; }
  wine reg add "$run_key" /v Tarnix /d "$install_win\\Tarnix.exe" /f >/dev/null 2>&1
  uninstall_silently /KEEPDATA=yes || return 1
  local bad=0 file
  for file in Tarnix.exe help.chm uninst.exe UpdateConfig.ini Updata.exe Updata.exe.old; do
    [ ! -e "$install/$file" ] || { echo "$file is still there"; bad=1; }
  done
  [ ! -e "$start_menu" ] || { echo "the Start-menu folder is still there"; bad=1; }
  [ ! -e "$desktop/$product.lnk" ] || { echo "the desktop shortcut is still there"; bad=1; }
  [ -z "$(reg_value "$run_key" Tarnix)" ] || { echo "the start-with-Windows value is still there"; bad=1; }
  [ -z "$(reg_value "$uninstall_key" DisplayName)" ] || { echo "the list of programs still shows the client"; bad=1; }
  md5sum --quiet -c "$work/user-files.md5" || { echo "the user's files were not kept"; bad=1; }
  return $bad
}

uninstaller_removes_data() {
  wine_ready || return 1
  install_silently /NODESKTOP || return 1
  local bad=0
  md5sum --quiet -c "$work/user-files.md5" || { echo "installing again did not find the kept files"; bad=1; }
  [ ! -e "$desktop/$product.lnk" ] || { echo "/NODESKTOP made a desktop shortcut"; bad=1; }
  # A file of the user's own, and a start-with-Windows value of another copy of the client.
  printf '[LinkAgent]\r\nMode=lab\r\n' >"$install/LinkAgent.ini"
  printf 'my notes\r\n' >"$install/data/notes.txt"
  printf 'x' >"$install/data/record/2026-10.xml.damaged"
  wine reg add "$run_key" /v Tarnix /d 'C:\Other\Tarnix.exe' /f >/dev/null 2>&1
  uninstall_silently /KEEPDATA=no || return 1
  local file
  for file in Tarnix.exe uninst.exe config.xml Settings.ini data/record; do
    [ ! -e "$install/$file" ] || { echo "$file is still there"; bad=1; }
  done
  for file in LinkAgent.ini data/notes.txt; do
    [ -f "$install/$file" ] || { echo "the user's own $file was removed"; bad=1; }
  done
  [ "$(reg_value "$run_key" Tarnix)" = 'C:\Other\Tarnix.exe' ] || { echo "another copy's start-with-Windows value was removed"; bad=1; }
  return $bad
}

finish_wine() {
  [ "$wine_state" = ready ] && wineserver -k 2>/dev/null
  return 0
}
