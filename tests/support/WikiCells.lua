-- Pandoc filter for the wiki dialect check: prints every table cell as
-- "row<TAB>column<TAB>rowspan<TAB>colspan<TAB>bold<TAB>text", the header
-- rows first, then every body; "table" before each table.  A header row
-- of empty cells only is how some readers say "no header": it is left out.
local function empty_row(r)
  for _, c in ipairs(r.cells) do
    if #c.contents > 0 then return false end
  end
  return true
end

local function rows_of(tbl)
  local out = {}
  for _, r in ipairs(tbl.head.rows) do
    if not empty_row(r) then out[#out + 1] = r end
  end
  for _, b in ipairs(tbl.bodies) do
    for _, r in ipairs(b.head) do out[#out + 1] = r end
    for _, r in ipairs(b.body) do out[#out + 1] = r end
  end
  return out
end

function Table(tbl)
  io.write("table\n")
  for ri, r in ipairs(rows_of(tbl)) do
    for ci, c in ipairs(r.cells) do
      local bold = 0
      pandoc.walk_block(pandoc.Div(c.contents), {Strong = function() bold = 1 end})
      local text = pandoc.utils.stringify(c.contents):gsub("\n", " ")
      io.write(string.format("%d\t%d\t%d\t%d\t%d\t%s\n", ri - 1, ci - 1,
                             c.row_span, c.col_span, bold, text))
    end
  end
end
