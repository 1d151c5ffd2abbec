-- A drawable section, and a row that the store's order (category, then code) puts last.
insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) values
  (1,1,'圆','[Circle]
Center=0,0
Radius=50
Color=255,0,0
Layer=0
','画圆'),
  (5,5,'戊','[Line]
Point=0,0;100,100
Color=255,255,255
Layer=0
','');
