create table "/tmp/zelto_jobs_27547/JOINED/01/01_94REG.BLK\P9400.DBF"
(
CISLO decimal(8,0),
DRUH decimal(6,0),
DISP_BARVA decimal(4,0),
DISP_ZNAC decimal(4,0),
X decimal(12,2),
Y decimal(12,2),
PLOCHA decimal(14,6),
LHC_KOD char(4),
REVIR char(2))
