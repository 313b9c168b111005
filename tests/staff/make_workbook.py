# A staff list as an .xlsx workbook of another program: written by openpyxl, then the staff
# sheet moved to another part name and its texts put into shared strings (one as rich text
# runs, one left inline). Usage: make_workbook.py OUT.xlsx
import sys, re, html, datetime, zipfile, openpyxl
path = sys.argv[1]
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'Персонал'
ws.append(['Список работников на 01.06.2024'])
ws.append([])
ws.append(['Подразделение', None, 'ФИО', 'Табельный номер', 'Должность', 'Дата рождения', 'Дата Приёма'])
ws.append(['Цех № 2', None, 'RICH', 1017, 'Электромонтёр', datetime.datetime(1980, 2, 29), datetime.date(2015, 3, 1)])
ws.append(['Цех № 2', None, 'Петров Пётр Петрович', None, 'Слесарь'])
ws.append([])
ws.append(['Котельная', None, 'Сидорова Анна Ивановна', '00542', 'Оператор', '05.11.1991', '2019-09-16'])
wb.create_sheet('Справка').append(['Табельный номер', 'ФИО'])
wb.save(path)
src = zipfile.ZipFile(path)
parts = {n: src.read(n) for n in src.namelist()}
src.close()
rename = {'xl/worksheets/sheet1.xml': 'xl/worksheets/staff.xml', 'xl/worksheets/sheet2.xml': 'xl/worksheets/sheet1.xml'}
parts = {rename.get(n, n): b for n, b in parts.items()}
for n in ('xl/_rels/workbook.xml.rels', '[Content_Types].xml'):
    parts[n] = parts[n].replace(b'sheet1.xml', b'staff.xml').replace(b'sheet2.xml', b'sheet1.xml')
strings = []
def share(m):
    if html.unescape(m.group(3)) == 'Оператор':
        return m.group(0)
    strings.append(m.group(3))
    return '<c %st="s"%s><v>%d</v></c>' % (m.group(1), m.group(2), len(strings) - 1)
sheet = parts['xl/worksheets/staff.xml'].decode()
parts['xl/worksheets/staff.xml'] = re.sub(r'<c ([^>]*?)t="inlineStr"([^>]*)><is><t[^>]*>(.*?)</t></is></c>', share, sheet).encode()
rich = '<r><rPr><b/></rPr><t xml:space="preserve">Иванов </t></r><r><t>Иван Иванович</t></r><rPh sb="0" eb="1"><t>x</t></rPh>'
items = ''.join('<si>%s</si>' % (rich if t == 'RICH' else '<t>%s</t>' % t) for t in strings)
main = 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'
parts['xl/sharedStrings.xml'] = ('<sst xmlns="%s" count="%d">%s</sst>' % (main, len(strings), items)).encode()
parts['xl/_rels/workbook.xml.rels'] = parts['xl/_rels/workbook.xml.rels'].replace(b'</Relationships>',
    b'<Relationship Id="rIdS" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>')
parts['[Content_Types].xml'] = parts['[Content_Types].xml'].replace(b'</Types>',
    b'<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>')
with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as out:
    for n, b in parts.items():
        out.writestr(n, b)
