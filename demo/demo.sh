#!/usr/bin/env bash
# Kestrel's demo: a Dovecot with one account ("demo", password "demo") holding
# the sample letters of demo/letters, an SMTP server that delivers every letter
# it takes to that account, and PROGRAM started with a throwaway profile for
# both. Everything lives in one private temporary folder, removed with the
# servers when PROGRAM ends (or the demo is interrupted).
#   demo/demo.sh KESTREL_MAIL PROGRAM [ARGS...]
# KESTREL_MAIL makes the empty In mailbox; PROGRAM is kestrel (or a test's
# stand-in for it). PROGRAM's exit status is the demo's.
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
if [ $# -lt 2 ]; then
  echo "usage: demo/demo.sh KESTREL_MAIL PROGRAM [ARGS...]" >&2
  exit 2
fi
kestrel_mail=$(readlink -f "$1")
shift

# Debian's Python, which has aiosmtpd, whatever python3 comes first on PATH.
python=/usr/bin/python3
for need in /usr/sbin/dovecot "$python"; do
  if [ ! -x "$need" ]; then
    echo "kestrel demo: $need is missing (./kestrel.sh demo installs it)" >&2
    exit 1
  fi
done

folder=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-demo.XXXXXX")
dovecot_pid=
smtp_pid=

stop() {
  trap - EXIT INT TERM
  if [ -n "$smtp_pid" ]; then
    kill "$smtp_pid" 2>/dev/null || true
    wait "$smtp_pid" 2>/dev/null || true
  fi
  # Dovecot may have started before its id was noted.
  [ -z "$dovecot_pid" ] && [ -f "$folder/run/master.pid" ] && dovecot_pid=$(cat "$folder/run/master.pid")
  # Dovecot ends its processes first (about two seconds); if it has not after
  # fifteen, its process group goes at once.
  if [ -n "$dovecot_pid" ] && kill "$dovecot_pid" 2>/dev/null; then
    for _ in $(seq 300); do
      kill -0 "$dovecot_pid" 2>/dev/null || break
      sleep 0.05
    done
    kill -KILL -- "-$dovecot_pid" 2>/dev/null || true
  fi
  rm -rf "$folder"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

free_port() {
  "$python" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Waits up to ten seconds for a listener on the loopback port.
wait_for_port() {
  for _ in $(seq 200); do
    if (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; then return 0; fi
    sleep 0.05
  done
  return 1
}

fail() {
  echo "kestrel demo: $1" >&2
  [ -f "$folder/dovecot.log" ] && sed 's/^/  dovecot: /' "$folder/dovecot.log" >&2
  [ -f "$folder/smtp.log" ] && sed 's/^/  smtp: /' "$folder/smtp.log" >&2
  exit 1
}

# Root hands the serving to Dovecot's own users; anyone else serves as
# themselves, which Dovecot allows when every user it would switch to is the
# one it runs as.
if [ "$(id -u)" -eq 0 ]; then
  internal_user=dovecot internal_group=dovecot login_user=dovenull
  mail_user=nobody mail_group=nogroup
else
  internal_user=$(id -un) internal_group=$(id -gn) login_user=$(id -un)
  mail_user=$(id -un) mail_group=$(id -gn)
fi

start_dovecot() {
  chmod 755 "$folder"
  mkdir -p "$folder/run/state" "$folder/mail/demo"
  chown "$mail_user:$mail_group" "$folder/mail" "$folder/mail/demo"
  echo "demo:{PLAIN}demo" >"$folder/passwd"
  imap_port=$(free_port)
  sed -e "s|@DIR@|$folder|g" -e "s|@PORT@|$imap_port|g" \
    -e "s|@INTERNAL_USER@|$internal_user|g" -e "s|@INTERNAL_GROUP@|$internal_group|g" \
    -e "s|@LOGIN_USER@|$login_user|g" -e "s|@MAIL_USER@|$mail_user|g" \
    -e "s|@MAIL_GROUP@|$mail_group|g" "$here/dovecot.conf" >"$folder/dovecot.conf"
  # Its output goes to its log: the daemon would otherwise hold the demo's.
  /usr/sbin/dovecot -c "$folder/dovecot.conf" </dev/null >>"$folder/dovecot.log" 2>&1 ||
    fail "Dovecot did not start"
  # Dovecot may listen before it has written its process id.
  for _ in $(seq 200); do
    [ -s "$folder/run/master.pid" ] && break
    sleep 0.05
  done
  dovecot_pid=$(cat "$folder/run/master.pid" 2>/dev/null) || fail "Dovecot wrote no process id"
  wait_for_port "$imap_port" || fail "Dovecot does not listen on port $imap_port"
}

deliver_letters() {
  "$python" "$here/large_letter.py" >"$folder/large.eml"
  "$python" "$here/mail_drop.py" "$folder/mail/demo" "$mail_user" "$here"/letters/*.eml "$folder/large.eml"
  rm "$folder/large.eml"
}

start_smtp() {
  smtp_port=$(free_port)
  PYTHONPATH=$here "$python" -m aiosmtpd -n -l "127.0.0.1:$smtp_port" \
    -c mail_drop.Drop "$folder/mail/demo" "$mail_user" >"$folder/smtp.log" 2>&1 &
  smtp_pid=$!
  wait_for_port "$smtp_port" || fail "the SMTP server does not listen on port $smtp_port"
}

# The throwaway profile: both servers, the mailboxes in the demo's folder,
# GB and Big5 shown, letters written in UTF-8 (a reply quoting the Big5 letter
# holds characters GB 2312 lacks); In and Out there already, empty.
write_profile() {
  mkdir "$folder/mailboxes"
  : >"$folder/empty"
  for name in IN OUT; do
    "$kestrel_mail" box import "$folder/empty" "$folder/mailboxes/$name.BOX" --name "$name" \
      >/dev/null || fail "cannot make the $name mailbox"
  done
  rm "$folder/empty"
  cat >"$folder/KESTREL.INI" <<PROFILE
[Configuration]
IMAPAccount=demo@127.0.0.1:$imap_port
RealName=Kestrel 演示
ReturnAddress=demo@kestrel.example
SMTPServer=127.0.0.1:$smtp_port
InPath=$folder/mailboxes/IN.BOX
OutPath=$folder/mailboxes/OUT.BOX
TrashPath=$folder/mailboxes/TRASH.BOX
WorkDirectory=$folder/mailboxes
HZOS=3
ComposeCC=UTF-8
[Misc]
ExpungeServer=0
AllowPlainLogin=1
[Environment]
OperSystem=Microsoft Windows 95
PROFILE
}

start_dovecot
deliver_letters
start_smtp
write_profile

cat <<TEXT
Kestrel demo: IMAP demo@127.0.0.1:$imap_port, SMTP 127.0.0.1:$smtp_port, in $folder
  The fetch dialog asks for the password: demo
  Letters sent to demo@kestrel.example come back at the next fetch (文件 → 取邮件).
TEXT
status=0
KESTREL_PROFILE=$folder/KESTREL.INI KESTREL_DEMO_FOLDER=$folder "$@" || status=$?
exit "$status"
