-- A pandoc filter for the documents shipped as HTML: a link to one of their Markdown sources
-- (GUIDE.ru.md, COMPARISON.md#anchor) points at the HTML made from it. Addresses with a scheme
-- stay as they are.
function Link(link)
    if not link.target:match('^%a[%w+.-]*:') then
        link.target = link.target:gsub('%.md$', '.html'):gsub('%.md#', '.html#')
    end
    return link
end
