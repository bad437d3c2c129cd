#!/usr/bin/env bash
# Installs what is needed, builds Varnel, writes the sample project space into
# ./sample and runs the export of the sample project into its inbox.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)" --target varnel-sample varnel-cli varnel

bin=build/default/tools
rm -rf sample
"$bin/varnel-sample/varnel-sample" sample
export VARNEL_HOME="$PWD/sample/home" VARNEL_REGISTRY="$PWD/sample/Registry.reg"
mkdir -p "$VARNEL_HOME"
echo "== projects"
"$bin/varnel-cli/varnel-cli" projects
echo "== export"
"$bin/varnel-cli/varnel-cli" export "Worked Example" --all
echo "== files written to $VARNEL_HOME/HVNInbox"
for f in "$VARNEL_HOME"/HVNInbox/*.csv; do
  echo "-- $f"
  cat "$f"
done
