<<<<<<< HEAD
create table "/tmp/zelto_jobs_27547/JOINED/01/01_94REG.BLK\P9400.DBF"
=======
create table "/tmp/zelto_jobs_22616/GIS/4107/._30VOD.BLK.new\L3100.DBF"
>>>>>>> main
(
CISLO decimal(8,0),
DRUH decimal(6,0),
DISP_BARVA decimal(4,0),
DISP_ZNAC decimal(4,0),
X decimal(12,2),
Y decimal(12,2),
<<<<<<< HEAD
PLOCHA decimal(14,6),
LHC_KOD char(4),
REVIR char(2))
=======
DELKA decimal(12,2),
DRUH_PUV decimal(6,0),
NAZEV char(40),
SIRKA decimal(5,1),
POVRCH char(12))
>>>>>>> main
