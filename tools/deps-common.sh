# Sourced by tools/windows/deps.sh and tools/web/deps.sh: installing their
# tools and fetching Debian's source packages, which both builds share. The
# caller defines log().

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# Installs those of the named packages that are not installed yet.
deps_install_missing() {  # package...
  local p missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# apt-get source needs deb-src entries: when there are none, a copy of the deb
# entries goes into the named file.
deps_add_deb_src() {  # sources-file-name
  grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/ && return 0
  log "adding deb-src entries"
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
    $sudo tee "/etc/apt/sources.list.d/$1" >/dev/null
  $sudo apt-get update -qq
}

# Fetches and unpacks each source package (name=version) into the current
# folder; apt checks each against its signed index.
deps_fetch_sources() {  # name=version...
  local s
  for s in "$@"; do
    log "fetching source $s"
    apt-get source -qq "$s" >/dev/null 2>&1 || {
      # The version may be gone from the pools after a point release: a stale index, or a newer one.
      $sudo apt-get update -qq
      apt-get source -qq "$s" >/dev/null
    }
  done
}

# The unpacked source folder of a package in a work folder.
deps_srcdir() {  # work-folder package
  find "$1" -maxdepth 1 -mindepth 1 -type d -name "$2-*" | head -n 1
}
