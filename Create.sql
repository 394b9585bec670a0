create table "/tmp/zelto_bench_scratch_19186/whole/01/01_94REG.BLK/P0134.DBF"
(
CISLO decimal(8,0),
DRUH decimal(6,0),
DISP_BARVA decimal(4,0),
DISP_ZNAC decimal(4,0),
X decimal(12,2),
Y decimal(12,2),
PLOCHA decimal(14,6),
LHC_KOD char(4),
ODD decimal(4,0),
DIL char(1),
SKUPINA char(3))
