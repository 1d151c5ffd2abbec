-- Three rows whose keys run against the store's order (category, then code), each of its own
-- kind so that the preview tells them apart.
insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark) values
  (9,3,'丙','[Circle]
Center=0,0
Radius=30
Color=0,0,255
Layer=0
',''),
  (1,1,'甲','[Line]
Point=0,0;100,0
Color=255,0,0
Layer=0
',''),
  (5,2,'乙','[Arc]
Center=0,0
Radius=40
Angle=0,1.5
Color=0,255,0
Layer=0
','');
