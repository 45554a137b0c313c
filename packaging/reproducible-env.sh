# Sourced by the scripts that make the packages: the same inputs give the same
# bytes whoever runs them, when and where. Every date is SOURCE_DATE_EPOCH (by
# default the commit's time, see source-date-epoch.sh), times are UTC, sorting
# is bytewise and every file made is mode 644 or 755.
SOURCE_DATE_EPOCH=$("$root/packaging/source-date-epoch.sh")
export SOURCE_DATE_EPOCH
export TZ=UTC LC_ALL=C
umask 022

die() {
  echo "$(basename "$0" .sh): $*" >&2
  exit 1
}
