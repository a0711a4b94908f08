#!/bin/bash
# Builds the Windows Installer package of one Windows build with wixl:
# stages the stripped programs and the documents, compiles rastrex.wxs and
# adds what wixl cannot write: the conditions that turn the optional
# features on from their properties, the PATH entry with the actions
# that write and remove it, the install folder in the installed programs'
# entry, and the Japanese texts with their code page.
#
# usage: make_msi.sh OUT.msi VERSION ARCH PRODUCT_CODE START_MENU_GUID DESKTOP_GUID PATH_GUID
#                    BIN_DIR SOURCE_DIR ICON STRIP FILE_VERSION PERCEIVED_TYPE_GUID CONTENT_TYPE_GUID
#                    WITH_CONVERTER
#   ARCH is x86 or x64; BIN_DIR holds rastrex.exe, RASTREX.DLL, RASTREXThumb.dll, RASTREXVerb.dll,
#   xwd2bmp.exe and, when WITH_CONVERTER is 1, rastrex-convert.exe,
#   whose version resources say FILE_VERSION (X.Y.Z); VERSION is the
#   package's release, the same but for a package labelled otherwise.
set -euo pipefail

out=$1 version=$2 arch=$3 product=$4 start_guid=$5 desktop_guid=$6 path_guid=$7
bin=$8 src=$9 icon=${10} strip=${11} file_version=${12} perceived_guid=${13} content_guid=${14}
with_converter=${15}
here=$(cd "$(dirname "$0")" && pwd)

mkdir -p "$(dirname "$out")"
stage="$out.stage"
rm -rf "$stage" "$out.tmp"
mkdir -p "$stage"
programs=(rastrex.exe RASTREX.DLL RASTREXThumb.dll RASTREXVerb.dll xwd2bmp.exe)
converter=no
if [ "$with_converter" = 1 ]; then
  programs+=(rastrex-convert.exe)
  converter=yes
fi
for f in "${programs[@]}"; do
  cp "$bin/$f" "$stage/"
  "$strip" "$stage/$f"
done
cp "$src/conv/include/rastrex.h" "$stage/"
# Text files with Windows line ends, for every editor there.
sed 's/\r*$/\r/' "$src/docs/README-windows.txt" >"$stage/README-windows.txt"
sed 's/\r*$/\r/' "$src/LICENSE" >"$stage/LICENSE.txt"
cp "$icon" "$stage/rastrex.ico"

# wixl takes the files by their names in the folder it runs in.
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
(cd "$stage" && wixl -a "$arch" -o "$out.tmp" \
  -D Arch="$arch" -D Version="$version" -D ProductCode="$product" \
  -D StartMenuGuid="$start_guid" -D DesktopGuid="$desktop_guid" -D PathGuid="$path_guid" \
  -D PerceivedTypeGuid="$perceived_guid" -D ContentTypeGuid="$content_guid" \
  -D ThumbClsid="{D7839819-2297-4521-88F6-4CB5F93F1337}" \
  -D VerbClsid="{CCBA71C9-DDBA-4A5C-82EB-E832BC883386}" -D WithConverter="$converter" \
  "$here/rastrex.wxs")

# The summary's template names the platform and the package's language:
# wixl writes 1033 whatever the package says; the language is Japanese
# (1041). msibuild -s sets the subject, author, template and package code
# together: the others are kept as wixl wrote them.
summary() { msiinfo suminfo "$out.tmp" | sed -n "s/^$1: //p" | tr -d '\r'; }
msibuild "$out.tmp" -s "$(summary Subject)" "$(summary Author)" "$(summary Template | sed 's/;.*$/;1041/')" \
  "$(summary 'Revision number (UUID)')"

# A feature of level 2 stays off (the install level is 1) unless its
# property turns it on. The PATH entry: "=" sets it on install, "-" takes
# it out again on removal, "*" makes it the system's; "[~];" appends the
# folder to what is there.
msibuild "$out.tmp" -q "CREATE TABLE \`Condition\` (\`Feature_\` CHAR(38) NOT NULL, \`Level\` SHORT NOT NULL, \`Condition\` CHAR(255) PRIMARY KEY \`Feature_\`, \`Level\`)"
msibuild "$out.tmp" -q "INSERT INTO \`Condition\` (\`Feature_\`, \`Level\`, \`Condition\`) VALUES ('DesktopShortcut', 1, 'DESKTOPSHORTCUT AND DESKTOPSHORTCUT <> \"0\"')"
msibuild "$out.tmp" -q "INSERT INTO \`Condition\` (\`Feature_\`, \`Level\`, \`Condition\`) VALUES ('AddToPath', 1, 'ADDTOPATH AND ADDTOPATH <> \"0\"')"
msibuild "$out.tmp" -q "CREATE TABLE \`Environment\` (\`Environment\` CHAR(72) NOT NULL, \`Name\` CHAR(255) NOT NULL LOCALIZABLE, \`Value\` CHAR(255) LOCALIZABLE, \`Component_\` CHAR(72) NOT NULL PRIMARY KEY \`Environment\`)"
msibuild "$out.tmp" -q "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`) VALUES ('SystemPath', '=-*PATH', '[~];[INSTALLDIR]', 'PathEntry')"
msibuild "$out.tmp" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('RemoveEnvironmentStrings', 3300)"
msibuild "$out.tmp" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('WriteEnvironmentStrings', 5200)"
# Each kind of .xwd files is written where no other program set it, or
# where this package's components wrote it before (their mark in
# Software\rastrex, or a release from before the marks that holds our
# text): a removal then takes away only what was written.
kind_condition() { echo "NOT $1 OR $2 OR (WIX_UPGRADE_DETECTED AND $1 = \"$3\")"; }
msibuild "$out.tmp" -q "UPDATE \`Component\` SET \`Condition\` = '$(kind_condition XWDPERCEIVEDTYPE OURPERCEIVEDTYPE image)' WHERE \`Component\` = 'PerceivedType'"
msibuild "$out.tmp" -q "UPDATE \`Component\` SET \`Condition\` = '$(kind_condition XWDCONTENTTYPE OURCONTENTTYPE image/x-xwindowdump)' WHERE \`Component\` = 'ContentType'"
# The same release of the other architecture is replaced too, so that one
# rastrex is installed at a time (a package never finds itself): older
# releases and this one, with their features (1), up to and including this
# release (512).
upgrade_code=$(msiinfo export "$out.tmp" Property | sed -n 's/^UpgradeCode\t//p' | tr -d '\r')
msibuild "$out.tmp" -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
msibuild "$out.tmp" -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('$upgrade_code', '$version', 513, 'WIX_UPGRADE_DETECTED')"
# The programs' versions, by which the installer decides whether a file on
# the disk is older than the package's.
for f in "${programs[@]}"; do
  msibuild "$out.tmp" -q "UPDATE \`File\` SET \`Version\` = '$file_version.0' WHERE \`File\` = '$f'"
done
# The same package run again over its installation repairs it: every
# feature is reinstalled, which puts back what is missing or damaged (the
# reinstall mode "omus" is the default). Not when the run removes it, names
# its own features or is the removal of an older release by a newer one.
msibuild "$out.tmp" -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('RepairWhenInstalledAgain', 51, 'REINSTALL', 'ALL')"
msibuild "$out.tmp" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('RepairWhenInstalledAgain', 'Installed AND NOT REMOVE AND NOT REINSTALL AND NOT ADDLOCAL AND NOT UPGRADINGPRODUCTCODE', 790)"
# The program itself cannot be left out nor any part advertised.
msibuild "$out.tmp" -q "UPDATE \`Feature\` SET \`Attributes\` = 24 WHERE \`Feature\` = 'Main'"
msibuild "$out.tmp" -q "UPDATE \`Feature\` SET \`Attributes\` = 8 WHERE \`Feature\` <> 'Main'"
# Properties set on the command line reach the installing service only
# when they are listed here.
msibuild "$out.tmp" -q "UPDATE \`Property\` SET \`Value\` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;ADDTOPATH;DESKTOPSHORTCUT;XWDPERCEIVEDTYPE;XWDCONTENTTYPE;OURPERCEIVEDTYPE;OURCONTENTTYPE' WHERE \`Property\` = 'SecureCustomProperties'"

# The install folder in the installed programs' entry: set once the
# folders are known (wixl puts its custom actions after InstallFinalize
# and in the script, where the property comes too late).
msibuild "$out.tmp" -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('SetInstallLocation', 51, 'ARPINSTALLLOCATION', '[INSTALLDIR]')"
msibuild "$out.tmp" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('SetInstallLocation', 1010)"
# The Japanese texts: wixl drops every string outside ASCII and writes no
# code page, so the database gets Shift_JIS (932) first, then the texts.
printf '\r\n\r\n932\t_ForceCodepage\r\n' >"$out.cp.idt"
(cd "$(dirname "$out")" && msibuild "$out.tmp" -i "$(basename "$out.cp.idt")")
rm -f "$out.cp.idt"
# (A text that begins with ASCII letters and holds others crashes wixl's
# msi library: each begins with a Japanese letter.)
japanese() { msibuild "$out.tmp" -q "UPDATE \`$1\` SET \`$2\` = '$3' WHERE \`$4\` = '$5'"; }
japanese Property Value 'ダンプ (XWD) をビットマップ (BMP) に変換' Property ARPCOMMENTS
japanese Shortcut Description 'ダンプ (XWD) をビットマップ (BMP) に変換' Shortcut StartMenuShortcut
japanese Shortcut Description 'ダンプ (XWD) をビットマップ (BMP) に変換' Shortcut DesktopShortcut
japanese Feature Title 'デスクトップのショートカット' Feature DesktopShortcut
japanese Feature Title 'インストール先をシステムの PATH に追加' Feature AddToPath
japanese Registry Value 'BMP に変換' Registry VerbTitle
japanese LaunchCondition Description '新しい版の rastrex がすでにインストールされています。' Condition 'NOT WIX_DOWNGRADE_DETECTED'

mv "$out.tmp" "$out"
rm -rf "$stage"
