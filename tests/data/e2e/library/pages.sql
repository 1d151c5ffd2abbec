-- Seventeen sections 截面00 .. 截面16 in the store's order (category 1, codes 1 to 17);
-- section i is i + 1 circles, so that its preview tells it apart.
with recursive n(i) as (select 0 union all select i + 1 from n where i < 16),
               k(j) as (select 1 union all select j + 1 from k where j < 17)
insert into SectionInfo (Type,GroupSec,Name,SectionInfo,Remark)
  select i + 1, 1, printf('截面%02d', i),
         (select group_concat(printf('[Circle]%sCenter=%d,0%sRadius=10%sColor=255,0,0%sLayer=0%s', char(10),
                                     j * 30, char(10), char(10), char(10), char(10)), '')
          from k where j <= i + 1),
         ''
  from n;
