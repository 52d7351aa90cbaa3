# A project of the example points, saved by a batch that joins each point to it; the
# desktop starts in the tab "项目" with the project's window open.
project=$("$CLI" --db "$DB" --today "$TODAY" project new 城东门站改造 --customer 某市燃气有限公司 --site 城东门站)
"$CLI" --db "$DB" --today "$TODAY" batch "$(dirname "$0")/../../../examples/points.csv" --save --project "$project" \
    --out "$(dirname "$DB")/projects-results.csv" >/dev/null
"$CLI" --db "$DB" --today "$TODAY" project add "$project" MP-02A 20261210002 --qty 2 >/dev/null
echo --project
echo "$project"
echo --grab-project
echo "$OUT/project-window.png"
