#!/usr/bin/env bash
# Writes the wixl fragment MachineValues to stdout (with the argument `secure`, its property names): for each value of store/ManagedValues.cpp a public
# property (its name in capitals, e.g. CONTENTFOLDER=...) that, when given to msiexec, writes the value
# under HKLM\Software\plumwick. The components are permanent: a later upgrade without the property keeps
# what an earlier install wrote. wixl knows neither a component's condition nor Permanent: package.sh
# sets both in the Component table afterwards (the condition is the property's name). Reading the program's own table keeps the names from drifting apart.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
upgrade=849413D5-37DB-4AE4-811F-D2E15A92ACFB
mapfile -t rows < <(sed -nE 's/^[[:space:]]*\{u"([A-Za-z]+)", ManagedKind::([A-Za-z]+),.*/\1 \2/p' \
  "$root/store/ManagedValues.cpp")
[ ${#rows[@]} -gt 0 ] || { echo "machine-values: no values in store/ManagedValues.cpp" >&2; exit 1; }
if [ "${1:-}" = secure ]; then
  # The public properties an elevated (managed) install passes on to the server side of msiexec, for
  # SecureCustomProperties; wixl writes that property itself, so package.sh adds these to it.
  secure=()
  for row in "${rows[@]}"; do
    read -r name kind <<<"$row"
    secure+=("${name^^}")
  done
  (IFS=';'; echo "${secure[*]}")
  exit 0
fi
echo '<?xml version="1.0" encoding="utf-8"?>'
echo '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">'
echo '  <Fragment>'
echo '    <DirectoryRef Id="INSTALLDIR">'
for row in "${rows[@]}"; do
  read -r name kind <<<"$row"
  property=${name^^}
  type=integer
  [ "$kind" = Text ] && type=string
  # A component GUID derived from the name: the same for every build, different for every value.
  guid=$(python3 -c "import uuid,sys;print(str(uuid.uuid5(uuid.UUID(sys.argv[1]),sys.argv[2])).upper())" \
    "$upgrade" "$name")
  cat <<FRAGMENT
      <Component Id="Machine$name" Guid="$guid" Win64="yes">
        <RegistryValue Root="HKLM" Key="Software\\plumwick" Name="$name" Type="$type" Value="[$property]" KeyPath="yes" />
      </Component>
FRAGMENT
done
echo '    </DirectoryRef>'
echo '    <ComponentGroup Id="MachineValues">'
for row in "${rows[@]}"; do
  read -r name kind <<<"$row"
  echo "      <ComponentRef Id=\"Machine$name\" />"
done
echo '    </ComponentGroup>'
echo '  </Fragment>'
echo '</Wix>'
