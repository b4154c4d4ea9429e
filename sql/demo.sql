-- The demo company: Thong Siam Trading, a Thai wholesaler and retailer of
-- drinks, snacks, groceries, household and personal-care goods, stationery
-- and hardware, with branches, a shop front, a van and a returns store.
--
-- Run inside the company's business database after business.sql and
-- program.sql; batches end at GO lines. `qel-db create-demo` runs it and then
-- points Config.PicturePath at the pictures it draws.
--
-- Every date counts from GetDate(), so promotions, lots and documents stay
-- current whenever the demo is built. The Demo* tables are working lists that
-- the set-based inserts expand; they are dropped at the end.

-- ---------------------------------------------------------------- setup

Update Config Set OnhandDecimal = 2, UnitLeft = '(', UnitRight = ')', DisplayFraction = 'N',
  SearchProductNo = 0, SearchProductMethod = 1, ShowLastSearch = 'Y', PicturePath = N'pictures',
  RunYear = Year(GetDate()), IvRefSO = 'Y', MrRefPO = 'N', EditPricePO = 'N', ShowProductPriceList = 'Y'
GO

Insert Into accountperiod (AccountYear, StartDate, EndDate, Closed)
Select Year(GetDate()) - 1, DateAdd(year, DateDiff(year, 0, GetDate()) - 1, 0),
       DateAdd(day, -1, DateAdd(year, DateDiff(year, 0, GetDate()), 0)), 'Y'
From NullTable
Union All
Select Year(GetDate()), DateAdd(year, DateDiff(year, 0, GetDate()), 0),
       DateAdd(day, -1, DateAdd(year, DateDiff(year, 0, GetDate()) + 1, 0)), 'N'
From NullTable
GO

-- Price type 19 is the retail price: the bar-code look-up and the point of
-- sale read it by that number, so the price types keep these ids.
Set IDENTITY_INSERT Misc On
GO
Insert Into Misc (Id, GroupCode, Code, Description) Values
  (19, 'PRICETYPE', '01', N'ราคาขายปลีก'),
  (20, 'PRICETYPE', '02', N'ราคาขายส่ง'),
  (21, 'PRICETYPE', '03', N'ราคาสมาชิก'),
  (22, 'PRICETYPE', '04', N'ราคาตัวแทนจำหน่าย')
GO
Set IDENTITY_INSERT Misc Off
GO

Insert Into Misc (GroupCode, Code, Description) Values
  ('CITY', 'BKK', N'กรุงเทพมหานคร'),
  ('CITY', 'NBI', N'นนทบุรี'),
  ('CITY', 'PTE', N'ปทุมธานี'),
  ('CITY', 'SPK', N'สมุทรปราการ'),
  ('CITY', 'NPT', N'นครปฐม'),
  ('CITY', 'AYA', N'พระนครศรีอยุธยา'),
  ('CITY', 'CBI', N'ชลบุรี'),
  ('CITY', 'RYG', N'ระยอง'),
  ('CITY', 'CMI', N'เชียงใหม่'),
  ('CITY', 'PLK', N'พิษณุโลก'),
  ('CITY', 'KKN', N'ขอนแก่น'),
  ('CITY', 'NMA', N'นครราชสีมา'),
  ('CITY', 'UDN', N'อุดรธานี'),
  ('CITY', 'SNI', N'สุราษฎร์ธานี'),
  ('CITY', 'SKA', N'สงขลา'),
  ('CITY', 'PKT', N'ภูเก็ต'),
  ('CITY', 'ATG', N'อ่างทอง'),
  ('CITY', 'LRI', N'ลพบุรี'),
  ('CITY', 'SBR', N'สิงห์บุรี'),
  ('CITY', 'CNT', N'ชัยนาท'),
  ('CITY', 'SRI', N'สระบุรี'),
  ('CITY', 'NYK', N'นครนายก'),
  ('CITY', 'SKN', N'สมุทรสาคร'),
  ('CITY', 'SKM', N'สมุทรสงคราม'),
  ('CITY', 'SPB', N'สุพรรณบุรี'),
  ('CITY', 'KRI', N'กาญจนบุรี'),
  ('CITY', 'RBR', N'ราชบุรี'),
  ('CITY', 'PBI', N'เพชรบุรี'),
  ('CITY', 'PKN', N'ประจวบคีรีขันธ์'),
  ('CITY', 'NSN', N'นครสวรรค์'),
  ('CITY', 'UTI', N'อุทัยธานี'),
  ('CITY', 'KPT', N'กำแพงเพชร'),
  ('CITY', 'TAK', N'ตาก'),
  ('CITY', 'STI', N'สุโขทัย'),
  ('CITY', 'PCT', N'พิจิตร'),
  ('CITY', 'PNB', N'เพชรบูรณ์'),
  ('CITY', 'UTD', N'อุตรดิตถ์'),
  ('CITY', 'CCO', N'ฉะเชิงเทรา'),
  ('CITY', 'PRI', N'ปราจีนบุรี'),
  ('CITY', 'SKW', N'สระแก้ว'),
  ('CITY', 'CTI', N'จันทบุรี'),
  ('CITY', 'TRT', N'ตราด'),
  ('CITY', 'CRI', N'เชียงราย'),
  ('CITY', 'LPN', N'ลำพูน'),
  ('CITY', 'LPG', N'ลำปาง'),
  ('CITY', 'PRE', N'แพร่'),
  ('CITY', 'NAN', N'น่าน'),
  ('CITY', 'PYO', N'พะเยา'),
  ('CITY', 'MSN', N'แม่ฮ่องสอน'),
  ('CITY', 'BRM', N'บุรีรัมย์'),
  ('CITY', 'SRN', N'สุรินทร์'),
  ('CITY', 'SSK', N'ศรีสะเกษ'),
  ('CITY', 'UBN', N'อุบลราชธานี'),
  ('CITY', 'YST', N'ยโสธร'),
  ('CITY', 'CPM', N'ชัยภูมิ'),
  ('CITY', 'ACR', N'อำนาจเจริญ'),
  ('CITY', 'BKN', N'บึงกาฬ'),
  ('CITY', 'NBP', N'หนองบัวลำภู'),
  ('CITY', 'LEI', N'เลย'),
  ('CITY', 'NKI', N'หนองคาย'),
  ('CITY', 'MKM', N'มหาสารคาม'),
  ('CITY', 'ROI', N'ร้อยเอ็ด'),
  ('CITY', 'KSN', N'กาฬสินธุ์'),
  ('CITY', 'SNK', N'สกลนคร'),
  ('CITY', 'NPM', N'นครพนม'),
  ('CITY', 'MDH', N'มุกดาหาร'),
  ('CITY', 'CPN', N'ชุมพร'),
  ('CITY', 'RNG', N'ระนอง'),
  ('CITY', 'PNA', N'พังงา'),
  ('CITY', 'KBI', N'กระบี่'),
  ('CITY', 'NRT', N'นครศรีธรรมราช'),
  ('CITY', 'TRG', N'ตรัง'),
  ('CITY', 'PLG', N'พัทลุง'),
  ('CITY', 'STN', N'สตูล'),
  ('CITY', 'PTN', N'ปัตตานี'),
  ('CITY', 'YLA', N'ยะลา'),
  ('CITY', 'NWT', N'นราธิวาส'),
  ('PTYPE', 'CONSUME', N'สินค้าอุปโภคบริโภค - อาหารและเครื่องดื่ม'),
  ('PTYPE', 'USE', N'สินค้าอุปโภค - ของใช้'),
  ('PTYPE', 'OFFICE', N'เครื่องเขียนและอุปกรณ์สำนักงาน'),
  ('PTYPE', 'TOOL', N'วัสดุก่อสร้างและเครื่องมือช่าง'),
  ('PTYPE', 'MATERIAL', N'วัสดุสิ้นเปลืองและบรรจุภัณฑ์'),
  ('PTYPE', 'SERVICE', N'งานบริการ'),
  ('PGROUP', 'DRINK', N'เครื่องดื่ม'),
  ('PGROUP', 'SNACK', N'ขนมขบเคี้ยวและลูกอม'),
  ('PGROUP', 'FOOD', N'อาหารแห้งและเครื่องปรุง'),
  ('PGROUP', 'HOUSE', N'ของใช้ในบ้าน'),
  ('PGROUP', 'PERSONAL', N'ของใช้ส่วนตัว'),
  ('PGROUP', 'STATIONERY', N'เครื่องเขียน'),
  ('PGROUP', 'HARDWARE', N'ฮาร์ดแวร์และเครื่องมือช่าง'),
  ('PGROUP', 'GIFT', N'กระเช้าและชุดของขวัญ'),
  ('PGROUP', 'PACKING', N'วัสดุบรรจุภัณฑ์'),
  ('PGROUP', 'SERVICE', N'ค่าบริการ'),
  ('DEPARTMENT', 'SALES', N'ฝ่ายขายหน้าร้าน'),
  ('DEPARTMENT', 'TELE', N'ฝ่ายขายทางโทรศัพท์'),
  ('DEPARTMENT', 'WHOLESALE', N'ฝ่ายขายส่ง'),
  ('TRANSPORT', 'OWN', N'รถบริษัท'),
  ('TRANSPORT', 'PICKUP', N'ลูกค้ารับเอง'),
  ('TRANSPORT', 'POST', N'ไปรษณีย์'),
  ('PRODINFO', 'MATERIAL', N'วัสดุ'),
  ('PRODINFO', 'MODEL', N'รุ่น')
GO

-- Which information kinds hold a product's material and model.
Update WorkId Set
  Material = (Select Id From Misc Where GroupCode = 'PRODINFO' And Code = 'MATERIAL'),
  Model = (Select Id From Misc Where GroupCode = 'PRODINFO' And Code = 'MODEL')
GO

Insert Into Tax (Code, Description, Rate) Values
  ('V7', N'ภาษีมูลค่าเพิ่ม 7%', 7),
  ('V0', N'สินค้ายกเว้นภาษีมูลค่าเพิ่ม', 0)
GO

-- Every warehouse is a row of the stock panel, so the list is that of a real
-- company: head store, shop, branches, a van, shelf locations, a returns
-- store and a closed one.
Insert Into Warehouse (Code, Name, IsLocation, Blocked, FlagIn, FlagOut) Values
  ('MAIN', N'คลังสินค้าหลัก บางพลี', 'N', 'N', 'Y', 'Y'),
  ('SHOP', N'หน้าร้าน', 'N', 'N', 'Y', 'Y'),
  ('BR-CM', N'คลังสาขาเชียงใหม่', 'N', 'N', 'Y', 'Y'),
  ('BR-KK', N'คลังสาขาขอนแก่น', 'N', 'N', 'Y', 'Y'),
  ('BR-HY', N'คลังสาขาหาดใหญ่', 'N', 'N', 'Y', 'Y'),
  ('VAN1', N'รถขายเคลื่อนที่ คันที่ 1', 'N', 'N', 'Y', 'Y'),
  ('A-01-01', N'ชั้นวาง A แถว 1 ช่อง 1', 'Y', 'N', 'Y', 'Y'),
  ('A-01-02', N'ชั้นวาง A แถว 1 ช่อง 2 (งดใช้ชั่วคราว)', 'Y', 'Y', 'Y', 'Y'),
  ('RMA', N'คลังสินค้ารอเคลมและส่งคืน', 'N', 'N', 'Y', 'N'),
  ('OLD', N'คลังเก่า (ปิดใช้งาน)', 'N', 'Y', 'N', 'N')
GO

Insert Into Salesman (Code, Name, Surname, SalesName, Department, Status, StartDate, StopDate,
  Address1, Address2, Address3, Province, ZipCode, PhoneNo, EMail)
Select S.Code, S.Name, S.Surname, S.Name + N' ' + S.Surname, D.Id, S.Status,
       DateAdd(day, -S.DaysEmployed, DateAdd(day, DateDiff(day, 0, GetDate()), 0)),
       Case When S.Status = 'N' Then DateAdd(day, -30, DateAdd(day, DateDiff(day, 0, GetDate()), 0)) Else Null End,
       S.Address1, S.Address2, N'', P.Id, S.ZipCode, S.PhoneNo, S.EMail
From (
  Select 'S01' Code, N'สมชาย' Name, N'ใจดี' Surname, 'SALES' Dept, 'Y' Status, 3650 DaysEmployed,
         N'12/3 ซอยสุขุมวิท 101' Address1, N'เขตพระโขนง' Address2, 'BKK' City, '10260' ZipCode,
         '081-234-5001' PhoneNo, 'somchai@thongsiam.example' EMail From NullTable
  Union All Select 'S02', N'สุนีย์', N'รักงาน', 'WHOLESALE', 'Y', 2900, N'45 ถนนติวานนท์', N'อำเภอเมือง', 'NBI', '11000',
         '081-234-5002', 'sunee@thongsiam.example' From NullTable
  Union All Select 'S03', N'วิชัย', N'มั่นคง', 'TELE', 'Y', 1800, N'8 ถนนรังสิต-นครนายก', N'อำเภอธัญบุรี', 'PTE', '12110',
         '081-234-5003', 'wichai@thongsiam.example' From NullTable
  Union All Select 'S04', N'อรุณี', N'ศรีสุข', 'TELE', 'Y', 900, N'77 ถนนห้วยแก้ว', N'อำเภอเมือง', 'CMI', '50200',
         '081-234-5004', 'arunee@thongsiam.example' From NullTable
  Union All Select 'S05', N'ประสิทธิ์', N'ทองดี', 'SALES', 'N', 2400, N'19 ถนนมิตรภาพ', N'อำเภอเมือง', 'KKN', '40000',
         '081-234-5005', Null From NullTable
  Union All Select 'S06', N'มาลี', N'แก้วใส', 'WHOLESALE', 'Y', 600, N'5 ถนนเพชรเกษม', N'อำเภอหาดใหญ่', 'SKA', '90110',
         '081-234-5006', 'malee@thongsiam.example' From NullTable
) S
Inner Join Misc D On D.GroupCode = 'DEPARTMENT' And D.Code = S.Dept
Inner Join Misc P On P.GroupCode = 'CITY' And P.Code = S.City
Order By S.Code
GO

-- A new sales person whose department is not entered yet: the picker finds
-- the code, the sales-person look-up does not list it.
Insert Into Salesman (Code, Name, Surname, SalesName, Department, Status, StartDate, Address1, PhoneNo)
Select 'S07', N'ธนากร', N'เพิ่งเริ่ม', N'ธนากร เพิ่งเริ่ม', Null, 'Y', DateAdd(day, DateDiff(day, 0, GetDate()), 0),
       N'9 ถนนบางนา-ตราด', '081-234-5007'
From NullTable
GO

Insert Into Vendor (Code, Name, Address1, Address2, Address3, PhoneNo, FaxNo, Blocked) Values
  ('V001', N'บริษัท กรีนลีฟ เบฟเวอเรจ จำกัด', N'99 หมู่ 4 ถนนพหลโยธิน', N'อำเภอคลองหลวง', N'ปทุมธานี 12120', '02-520-1100', '02-520-1101', 'N'),
  ('V002', N'บริษัท สยามสแน็คฟู้ด จำกัด', N'150 ถนนเพชรเกษม', N'เขตบางแค', N'กรุงเทพฯ 10160', '02-455-2200', Null, 'N'),
  ('V003', N'บริษัท แม่ศรีอุตสาหกรรมอาหาร จำกัด', N'88 ถนนเศรษฐกิจ 1', N'อำเภอกระทุ่มแบน', N'สมุทรสาคร 74110', '034-471-300', '034-471-301', 'N'),
  ('V004', N'บริษัท ใสสะอาด โฮมแคร์ จำกัด', N'7 นิคมอุตสาหกรรมบางปู', N'อำเภอเมือง', N'สมุทรปราการ 10280', '02-709-4400', Null, 'N'),
  ('V005', N'บริษัท หอมละมุน คอสเมติก จำกัด', N'300 ถนนรามอินทรา', N'เขตคันนายาว', N'กรุงเทพฯ 10230', '02-943-5500', Null, 'N'),
  ('V006', N'บริษัท เส้นสวย สเตชันเนอรี่ จำกัด', N'21 ถนนจันทน์', N'เขตสาทร', N'กรุงเทพฯ 10120', '02-211-6600', '02-211-6601', 'N'),
  ('V007', N'ห้างหุ้นส่วนจำกัด ช่างไทยฮาร์ดแวร์', N'456 ถนนวรจักร', N'เขตป้อมปราบศัตรูพ่าย', N'กรุงเทพฯ 10100', '02-221-7700', Null, 'N'),
  ('V008', N'บริษัท แพ็คดี บรรจุภัณฑ์ จำกัด', N'12 หมู่ 9 ถนนบางนา-ตราด', N'อำเภอบางพลี', N'สมุทรปราการ 10540', '02-316-8800', Null, 'N'),
  ('V009', N'บริษัท เก่าก่อน เทรดดิ้ง จำกัด (เลิกติดต่อ)', N'1 ถนนเจริญกรุง', N'เขตบางรัก', N'กรุงเทพฯ 10500', Null, Null, 'Y')
GO

-- The groups of the product lists: type, the vendor they are bought from and
-- how long ago their last regular delivery came.
Create Table DemoGroup (
  PGroup VarChar(20) Not Null Primary Key,
  PType VarChar(20) Not Null,
  Vendor VarChar(20) Not Null,
  LastDelivery Int Not Null
)
GO
Insert Into DemoGroup (PGroup, PType, Vendor, LastDelivery) Values
  ('DRINK', 'CONSUME', 'V001', 55),
  ('SNACK', 'CONSUME', 'V002', 33),
  ('FOOD', 'CONSUME', 'V003', 41),
  ('HOUSE', 'USE', 'V004', 37),
  ('PERSONAL', 'USE', 'V005', 48),
  ('STATIONERY', 'OFFICE', 'V006', 60),
  ('HARDWARE', 'TOOL', 'V007', 52),
  ('GIFT', 'CONSUME', 'V008', 30),
  ('PACKING', 'MATERIAL', 'V008', 30),
  ('SERVICE', 'SERVICE', 'V008', 0)
GO

Insert Into productgroup (Code, Description, ProductType)
Select M.Code, M.Description, Case When M.Code = 'SERVICE' Then 'S' Else 'P' End
From Misc M Where M.GroupCode = 'PGROUP' Order By M.Id
GO

-- ---------------------------------------------------------------- customers

Create Table DemoCustomer (
  Code VarChar(20) Not Null Primary Key,
  Name NVarChar(150) Not Null,
  NameEng NVarChar(150) Null,
  Address1 NVarChar(100) Not Null,
  Address2 NVarChar(100) Not Null,
  City VarChar(20) Null,
  ZipCode VarChar(10) Null,
  PhoneNo VarChar(50) Null,
  FaxNo VarChar(50) Null,
  TaxNo VarChar(20) Null,
  Salesman VarChar(10) Not Null,
  PriceType VarChar(20) Not Null,
  CreditDays Int Not Null,
  CreditLimit Decimal(18,2) Not Null,
  Blocked Char(1) Not Null,
  Kind VarChar(10) Not Null,
  Area VarChar(10) Not Null,
  Grade VarChar(10) Not Null
)
GO
Insert Into DemoCustomer Values
  ('C001', N'ร้านสมใจพาณิชย์', N'Somjai Panich', N'45/2 ถนนรามคำแหง', N'แขวงหัวหมาก เขตบางกะปิ', 'BKK', '10240', '02-314-5566', Null, '3100500123456', 'S03', '01', 30, 50000, 'N', 'RT', 'BKK', 'A'),
  ('C002', N'บริษัท รุ่งเรืองค้าส่ง จำกัด', N'Rungrueang Wholesale Co., Ltd.', N'210 ถนนงามวงศ์วาน', N'ตำบลบางกระสอ อำเภอเมือง', 'NBI', '11000', '02-951-2020', '02-951-2021', '0125548001122', 'S02', '02', 45, 500000, 'N', 'WS', 'BKK', 'A'),
  ('C003', N'ห้างหุ้นส่วนจำกัด ทวีทรัพย์การค้า', N'Thawisap Trading Ltd., Part.', N'9/9 หมู่ 2 ถนนรังสิต-ปทุมธานี', N'ตำบลบ้านกลาง อำเภอเมือง', 'PTE', '12000', '02-581-3434', Null, '0133551003344', 'S02', '04', 30, 200000, 'N', 'WS', 'BKK', 'B'),
  ('C004', N'ร้านเจ๊หมวยมินิมาร์ท', N'Jae Muay Minimart', N'88 ถนนสุขุมวิท', N'ตำบลบ้านสวน อำเภอเมือง', 'CBI', '20000', '038-271-455', Null, Null, 'S01', '01', 15, 30000, 'N', 'MM', 'E', 'B'),
  ('C005', N'บริษัท ภูเก็ตซีไซด์ซัพพลาย จำกัด', N'Phuket Seaside Supply Co., Ltd.', N'31 ถนนเทพกระษัตรี', N'ตำบลรัษฎา อำเภอเมือง', 'PKT', '83000', '076-222-818', '076-222-819', '0835557004455', 'S06', '02', 60, 300000, 'N', 'HO', 'S', 'A'),
  ('C006', N'ร้านลุงแดงโชห่วย', N'Lung Daeng Grocery', N'14 ถนนหน้าเมือง', N'ตำบลในเมือง อำเภอเมือง', 'KKN', '40000', '043-241-007', Null, Null, 'S05', '01', 7, 10000, 'N', 'RT', 'NE', 'C'),
  ('C007', N'สหกรณ์ร้านค้าโรงเรียนบ้านสวน', N'Ban Suan School Co-operative Shop', N'1 หมู่ 5 ถนนมิตรภาพ', N'ตำบลหนองจะบก อำเภอเมือง', 'NMA', '30000', '044-255-110', Null, '0994000123987', 'S03', '03', 30, 20000, 'N', 'OF', 'NE', 'B'),
  ('C008', N'ร้านป้าศรีขายส่ง', N'Pa Si Wholesale', N'20 ถนนช้างม่อย', N'ตำบลช้างม่อย อำเภอเมือง', 'CMI', '50300', '053-232-660', Null, '3500100456789', 'S04', '02', 30, 150000, 'N', 'WS', 'N', 'A'),
  ('C009', N'บริษัท เชียงใหม่ดีลิเวอรี่ จำกัด', N'Chiang Mai Delivery Co., Ltd.', N'5 ถนนนิมมานเหมินทร์', N'ตำบลสุเทพ อำเภอเมือง', 'CMI', '50200', '053-894-100', Null, '0505560007788', 'S04', '04', 30, 250000, 'N', 'OF', 'N', 'B'),
  ('C010', N'ร้านกาแฟบ้านไร่', N'Ban Rai Coffee', N'99 หมู่ 1 ถนนเชียงใหม่-ลำปาง', N'ตำบลหนองป่าครั่ง อำเภอเมือง', 'CMI', '50000', '089-700-1234', Null, Null, 'S04', '03', 0, 0, 'N', 'HO', 'N', 'B'),
  ('C011', N'โรงแรมริมน้ำ อยุธยา', N'Rim Nam Hotel Ayutthaya', N'3 ถนนอู่ทอง', N'ตำบลประตูชัย อำเภอพระนครศรีอยุธยา', 'AYA', '13000', '035-241-555', '035-241-556', '0145552008899', 'S03', '02', 30, 100000, 'N', 'HO', 'C', 'A'),
  ('C012', N'บริษัท สงขลาพาณิชย์ จำกัด', N'Songkhla Panich Co., Ltd.', N'120 ถนนนครใน', N'ตำบลบ่อยาง อำเภอเมือง', 'SKA', '90000', '074-311-222', Null, '0905549009911', 'S06', '04', 45, 400000, 'N', 'WS', 'S', 'A'),
  ('C013', N'ร้านวัสดุก่อสร้างเจริญชัย', N'Charoenchai Building Supplies', N'78 ถนนทหาร', N'ตำบลหมากแข้ง อำเภอเมือง', 'UDN', '41000', '042-221-313', Null, '3410100778899', 'S05', '04', 30, 200000, 'N', 'CT', 'NE', 'B'),
  ('C014', N'ห้างหุ้นส่วนจำกัด ระยองเครื่องเขียน', N'Rayong Stationery Ltd., Part.', N'40 ถนนสุขุมวิท', N'ตำบลท่าประดู่ อำเภอเมือง', 'RYG', '21000', '038-611-404', Null, '0213550001234', 'S01', '04', 30, 80000, 'N', 'OF', 'E', 'B'),
  ('C015', N'ร้านโชคดีมินิมาร์ท', N'Chokdee Minimart', N'333 ถนนเทพารักษ์', N'ตำบลเทพารักษ์ อำเภอเมือง', 'SPK', '10270', '02-384-5151', Null, Null, 'S01', '01', 15, 30000, 'N', 'MM', 'BKK', 'B'),
  ('C016', N'บริษัท นครปฐมฟู้ดเซอร์วิส จำกัด', N'Nakhon Pathom Food Service Co., Ltd.', N'66 ถนนเพชรเกษม', N'ตำบลพระปฐมเจดีย์ อำเภอเมือง', 'NPT', '73000', '034-250-600', '034-250-601', '0735553006677', 'S02', '02', 30, 250000, 'N', 'HO', 'C', 'A'),
  ('C017', N'ร้านนายหนึ่งการค้า', N'Nai Nueng Trading', N'7 ถนนตลาดใหม่', N'ตำบลตลาด อำเภอเมือง', 'SNI', '84000', '077-281-919', Null, Null, 'S06', '01', 15, 20000, 'N', 'RT', 'S', 'C'),
  ('C018', N'ร้านสวัสดิการข้าราชการ จังหวัดพิษณุโลก', N'Phitsanulok Civil Servants Welfare Shop', N'2 ถนนวังจันทน์', N'ตำบลในเมือง อำเภอเมือง', 'PLK', '65000', '055-252-345', Null, '0994000555111', 'S04', '03', 30, 60000, 'N', 'OF', 'N', 'A'),
  ('C019', N'ร้านอาหารครัวคุณยาย', N'Khrua Khun Yai Restaurant', N'55 ซอยอารีย์ 2', N'แขวงสามเสนใน เขตพญาไท', 'BKK', '10400', '02-279-1188', Null, Null, 'S03', '01', 7, 15000, 'N', 'HO', 'BKK', 'B'),
  ('C020', N'บริษัท บางนาออฟฟิศซัพพลาย จำกัด', N'Bangna Office Supply Co., Ltd.', N'1000 ถนนบางนา-ตราด', N'ตำบลบางแก้ว อำเภอบางพลี', 'SPK', '10540', '02-399-2000', '02-399-2001', '0115556002345', 'S02', '04', 60, 300000, 'N', 'OF', 'BKK', 'A'),
  ('C021', N'ร้านแม่บุญมีค้าปลีก', N'Mae Bunmee Retail', N'18 หมู่ 7 ถนนมะลิวัลย์', N'ตำบลบ้านทุ่ม อำเภอเมือง', 'KKN', '40000', '086-455-1212', Null, Null, 'S05', '01', 7, 10000, 'N', 'RT', 'NE', 'C'),
  ('C022', N'ห้างหุ้นส่วนจำกัด อุดรวัสดุ', N'Udon Materials Ltd., Part.', N'150 ถนนอุดรดุษฎี', N'ตำบลหมากแข้ง อำเภอเมือง', 'UDN', '41000', '042-241-777', Null, '0413552004567', 'S05', '04', 45, 250000, 'N', 'CT', 'NE', 'B'),
  ('C023', N'ร้านหมอนทองมินิมาร์ท', N'Mon Thong Minimart', N'9 ถนนราชภักดี', N'ตำบลท่าประดู่ อำเภอเมือง', 'RYG', '21000', '038-614-060', Null, Null, 'S01', '01', 15, 25000, 'N', 'MM', 'E', 'B'),
  ('C024', N'บริษัท สุขสวัสดิ์ คลีนนิ่ง จำกัด', N'Suksawat Cleaning Co., Ltd.', N'72 ถนนสุขสวัสดิ์', N'แขวงบางปะกอก เขตราษฎร์บูรณะ', 'BKK', '10140', '02-427-3030', Null, '0105561003456', 'S03', '02', 30, 120000, 'N', 'OF', 'BKK', 'A'),
  ('C025', N'ร้านบ้านสวนการเกษตร', N'Ban Suan Agriculture', N'4 หมู่ 3 ถนนสุรนารายณ์', N'ตำบลจอหอ อำเภอเมือง', 'NMA', '30310', '044-371-212', Null, Null, 'S03', '01', 15, 20000, 'N', 'CT', 'NE', 'C'),
  ('C026', N'ร้านเจริญพรค้าส่ง', N'Charoenphon Wholesale', N'61 ถนนโรจนะ', N'ตำบลไผ่ลิง อำเภอพระนครศรีอยุธยา', 'AYA', '13000', '035-335-888', Null, '3140100234567', 'S02', '02', 30, 180000, 'N', 'WS', 'C', 'B'),
  ('C027', N'คลินิกหมอใจดี', N'Dr Jaidee Clinic', N'15 ถนนประชาราษฎร์', N'ตำบลบางกระสอ อำเภอเมือง', 'NBI', '11000', '02-526-4545', Null, '3120100345678', 'S03', '03', 30, 30000, 'N', 'OF', 'BKK', 'B'),
  ('C028', N'ร้านรวมใจ (ปิดกิจการ)', N'Ruam Jai Shop (closed)', N'3 ถนนพหลโยธิน', N'ตำบลประตูชัย อำเภอเมือง', 'AYA', '13000', Null, Null, Null, 'S05', '01', 0, 0, 'Y', 'RT', 'C', 'C'),
  ('C029', N'ร้านค้าออนไลน์ (ยังไม่ระบุจังหวัด)', N'Online Shop (no province yet)', N'-', N'-', Null, Null, '090-111-2233', Null, Null, 'S03', '01', 0, 5000, 'N', 'RT', 'BKK', 'C'),
  ('C030', N'ร้านนักเรียนพาณิชย์', N'Nakrian Panich', N'23 ถนนปทุมธานี-สามโคก', N'ตำบลบางปรอก อำเภอเมือง', 'PTE', '12000', '02-581-9090', Null, Null, 'S01', '01', 15, 20000, 'N', 'OF', 'BKK', 'B'),
  ('C031', N'ร้านโจ''ส์ มาร์ท', N'Joe''s Mart', N'8 ซอยสุขุมวิท 11', N'แขวงคลองเตยเหนือ เขตวัฒนา', 'BKK', '10110', '02-651-1111', '02-651-1112', Null, 'S03', '01', 15, 30000, 'N', 'MM', 'BKK', 'A'),
  ('C032', N'ร้านพนักงานขายลาออก', N'Departed Rep Store', N'17 ถนนเพชรบุรี', N'แขวงมักกะสัน เขตราชเทวี', 'BKK', '10400', '02-252-7070', Null, Null, 'S01', '01', 15, 20000, 'N', 'RT', 'BKK', 'B'),
  ('CASH', N'ลูกค้าเงินสด (ขายหน้าร้าน)', N'Cash Customer', N'-', N'-', 'SPK', '10540', Null, Null, Null, 'S01', '01', 0, 0, 'N', 'RT', 'BKK', 'B')
GO
Insert Into Customer (Code, Name, NameEng, Address1, Address2, Address3, Province, ZipCode, PhoneNo, FaxNo, EMail,
  TaxNo, Salesman, PriceType, CreditDays, CreditLimit, Remark, Blocked)
Select D.Code, D.Name, D.NameEng, D.Address1, D.Address2, N'', P.Id, D.ZipCode, D.PhoneNo, D.FaxNo, Null,
       D.TaxNo, S.Id, T.Id, D.CreditDays, D.CreditLimit, Null, D.Blocked
From DemoCustomer D
Inner Join Salesman S On S.Code = D.Salesman
Inner Join Misc T On T.GroupCode = 'PRICETYPE' And T.Code = D.PriceType
Left Join Misc P On P.GroupCode = 'CITY' And P.Code = D.City
Order By D.Code
GO
Update Customer Set Remark = N'ชำระเงินสดเท่านั้น' Where Code = 'CASH'
GO
Update Customer Set Remark = N'ติดต่อคุณสมใจ ส่งของช่วงเช้า' Where Code = 'C001'
GO
-- A sales person who has left and whose row is gone: the customer search
-- no longer lists the customer.
Update Customer Set Salesman = 9999 Where Code = 'C032'
GO

Insert Into CusAttrGroup (Code, Description) Values
  ('TYPE', N'ประเภทลูกค้า'),
  ('AREA', N'เขตการขาย'),
  ('GRADE', N'ระดับลูกค้า')
GO
Insert Into CusAttrCode (CusAttrGroup, Code, Description)
Select G.Id, A.Code, A.Description
From (
  Select 'TYPE' Grp, 'RT' Code, N'ร้านค้าปลีก' Description From NullTable
  Union All Select 'TYPE', 'WS', N'ร้านค้าส่ง' From NullTable
  Union All Select 'TYPE', 'MM', N'มินิมาร์ท' From NullTable
  Union All Select 'TYPE', 'HO', N'โรงแรมและร้านอาหาร' From NullTable
  Union All Select 'TYPE', 'OF', N'สำนักงานและหน่วยงาน' From NullTable
  Union All Select 'TYPE', 'CT', N'ผู้รับเหมาและร้านวัสดุ' From NullTable
  Union All Select 'AREA', 'BKK', N'กรุงเทพฯ และปริมณฑล' From NullTable
  Union All Select 'AREA', 'C', N'ภาคกลาง' From NullTable
  Union All Select 'AREA', 'E', N'ภาคตะวันออก' From NullTable
  Union All Select 'AREA', 'N', N'ภาคเหนือ' From NullTable
  Union All Select 'AREA', 'NE', N'ภาคตะวันออกเฉียงเหนือ' From NullTable
  Union All Select 'AREA', 'S', N'ภาคใต้' From NullTable
  Union All Select 'GRADE', 'A', N'ลูกค้าชั้นดี' From NullTable
  Union All Select 'GRADE', 'B', N'ลูกค้าทั่วไป' From NullTable
  Union All Select 'GRADE', 'C', N'ลูกค้าเฝ้าระวัง' From NullTable
) A
Inner Join CusAttrGroup G On G.Code = A.Grp
Order By G.Id, A.Code
GO
-- GroupCode is the group code followed by the attribute code, so that a
-- range within one group is a range of this column.
Insert Into CustomerAttribute (Customer, CusAttrCode, GroupCode)
Select C.Id, A.Id, G.Code + A.Code
From DemoCustomer D
Inner Join Customer C On C.Code = D.Code
Inner Join CusAttrGroup G On G.Code In ('TYPE', 'AREA', 'GRADE')
Inner Join CusAttrCode A On A.CusAttrGroup = G.Id
  And A.Code = Case G.Code When 'TYPE' Then D.Kind When 'AREA' Then D.Area Else D.Grade End
Order By C.Id, G.Id
GO

-- ---------------------------------------------------------------- products

-- Unit sets: a product takes every unit of its pack. Stock is counted in the
-- small unit (fraction 1); the stock unit is the one goods are stored in,
-- and for some packs that is the small unit itself. Factor is the discount
-- the larger units carry against the small unit's price.
Create Table DemoPack (
  Pack VarChar(12) Not Null,
  Seq Int Not Null,
  UnitName NVarChar(20) Not Null,
  Fraction Int Not Null,
  IsSmall Char(1) Not Null,
  IsStock Char(1) Not Null,
  Factor Decimal(5,2) Not Null,
  Constraint PK_DemoPack Primary Key (Pack, Seq)
)
GO
Insert Into DemoPack Values
  ('BOT12', 1, N'ขวด', 1, 'Y', 'N', 1.00), ('BOT12', 2, N'แพ็ค', 12, 'N', 'Y', 0.97), ('BOT12', 3, N'ลัง', 24, 'N', 'N', 0.94),
  ('BOT6', 1, N'ขวด', 1, 'Y', 'N', 1.00), ('BOT6', 2, N'แพ็ค', 6, 'N', 'Y', 0.97),
  ('BOT4', 1, N'ขวด', 1, 'Y', 'N', 1.00), ('BOT4', 2, N'แพ็ค', 4, 'N', 'Y', 0.98), ('BOT4', 3, N'ลัง', 48, 'N', 'N', 0.94),
  ('BOT10', 1, N'ขวด', 1, 'Y', 'N', 1.00), ('BOT10', 2, N'แพ็ค', 10, 'N', 'Y', 0.97), ('BOT10', 3, N'ลัง', 50, 'N', 'N', 0.94),
  ('BOT24', 1, N'ขวด', 1, 'Y', 'N', 1.00), ('BOT24', 2, N'ลัง', 24, 'N', 'Y', 0.95),
  ('BTL12', 1, N'ขวด', 1, 'Y', 'N', 1.00), ('BTL12', 2, N'ลัง', 12, 'N', 'Y', 0.95),
  ('BTL24', 1, N'ขวด', 1, 'Y', 'N', 1.00), ('BTL24', 2, N'แพ็ค', 6, 'N', 'N', 0.98), ('BTL24', 3, N'ลัง', 24, 'N', 'Y', 0.95),
  ('CAN', 1, N'กระป๋อง', 1, 'Y', 'N', 1.00), ('CAN', 2, N'แพ็ค', 6, 'N', 'N', 0.97), ('CAN', 3, N'ลัง', 24, 'N', 'Y', 0.94),
  ('CAN12', 1, N'กระป๋อง', 1, 'Y', 'Y', 1.00), ('CAN12', 2, N'ลัง', 12, 'N', 'N', 0.95),
  ('CARTON12', 1, N'กล่อง', 1, 'Y', 'N', 1.00), ('CARTON12', 2, N'ลัง', 12, 'N', 'Y', 0.95),
  ('BOX36', 1, N'กล่อง', 1, 'Y', 'N', 1.00), ('BOX36', 2, N'แพ็ค', 6, 'N', 'Y', 0.97), ('BOX36', 3, N'ลัง', 36, 'N', 'N', 0.94),
  ('BOX4', 1, N'กล่อง', 1, 'Y', 'N', 1.00), ('BOX4', 2, N'แพ็ค', 4, 'N', 'Y', 0.97), ('BOX4', 3, N'ลัง', 48, 'N', 'N', 0.94),
  ('BOX', 1, N'กล่อง', 1, 'Y', 'Y', 1.00), ('BOX', 2, N'ลัง', 24, 'N', 'N', 0.95),
  ('BOXDZ', 1, N'กล่อง', 1, 'Y', 'N', 1.00), ('BOXDZ', 2, N'โหล', 12, 'N', 'Y', 0.96), ('BOXDZ', 3, N'ลัง', 240, 'N', 'N', 0.92),
  ('TIN', 1, N'กล่อง', 1, 'Y', 'Y', 1.00), ('TIN', 2, N'ลัง', 12, 'N', 'N', 0.95),
  ('PACK24', 1, N'แพ็ค', 1, 'Y', 'Y', 1.00), ('PACK24', 2, N'ลัง', 24, 'N', 'N', 0.95),
  ('STRIP', 1, N'ซอง', 1, 'Y', 'N', 1.00), ('STRIP', 2, N'แผง', 10, 'N', 'Y', 0.96), ('STRIP', 3, N'ลัง', 300, 'N', 'N', 0.92),
  ('BAG', 1, N'ซอง', 1, 'Y', 'N', 1.00), ('BAG', 2, N'แพ็ค', 12, 'N', 'Y', 0.97), ('BAG', 3, N'ลัง', 72, 'N', 'N', 0.94),
  ('BAGS', 1, N'ถุง', 1, 'Y', 'Y', 1.00), ('BAGS', 2, N'ลัง', 24, 'N', 'N', 0.95),
  ('BAG12', 1, N'ถุง', 1, 'Y', 'N', 1.00), ('BAG12', 2, N'ลัง', 12, 'N', 'Y', 0.95),
  ('BAG4', 1, N'ถุง', 1, 'Y', 'Y', 1.00), ('BAG4', 2, N'ลัง', 4, 'N', 'N', 0.97),
  ('REFILL', 1, N'ถุง', 1, 'Y', 'N', 1.00), ('REFILL', 2, N'ลัง', 24, 'N', 'Y', 0.95),
  ('PKT', 1, N'ถุง', 1, 'Y', 'N', 1.00), ('PKT', 2, N'แพ็ค', 10, 'N', 'Y', 0.97), ('PKT', 3, N'ลัง', 20, 'N', 'N', 0.95),
  ('BALE4', 1, N'ถุง', 1, 'Y', 'Y', 1.00), ('BALE4', 2, N'มัด', 4, 'N', 'N', 0.98),
  ('BALE12', 1, N'ถุง', 1, 'Y', 'N', 1.00), ('BALE12', 2, N'มัด', 12, 'N', 'Y', 0.97),
  ('SACK', 1, N'ถุง', 1, 'Y', 'Y', 1.00),
  ('WRAP', 1, N'ห่อ', 1, 'Y', 'Y', 1.00), ('WRAP', 2, N'ลัง', 48, 'N', 'N', 0.94),
  ('WRAP4', 1, N'ห่อ', 1, 'Y', 'Y', 1.00), ('WRAP4', 2, N'ลัง', 4, 'N', 'N', 0.97),
  ('WRAP12', 1, N'ห่อ', 1, 'Y', 'N', 1.00), ('WRAP12', 2, N'แพ็ค', 12, 'N', 'Y', 0.97), ('WRAP12', 3, N'ลัง', 48, 'N', 'N', 0.94),
  ('NOODLE', 1, N'ซอง', 1, 'Y', 'N', 1.00), ('NOODLE', 2, N'แพ็ค', 10, 'N', 'Y', 0.97), ('NOODLE', 3, N'ลัง', 60, 'N', 'N', 0.93),
  ('CUP', 1, N'ถ้วย', 1, 'Y', 'N', 1.00), ('CUP', 2, N'ลัง', 24, 'N', 'Y', 0.95),
  ('TINCAN', 1, N'กระป๋อง', 1, 'Y', 'N', 1.00), ('TINCAN', 2, N'แพ็ค', 10, 'N', 'Y', 0.97), ('TINCAN', 3, N'ลัง', 100, 'N', 'N', 0.93),
  ('EGG', 1, N'ฟอง', 1, 'Y', 'N', 1.00), ('EGG', 2, N'แผง', 30, 'N', 'Y', 0.95), ('EGG', 3, N'ลัง', 300, 'N', 'N', 0.92),
  ('JAR', 1, N'กระปุก', 1, 'Y', 'N', 1.00), ('JAR', 2, N'ลัง', 24, 'N', 'Y', 0.95),
  ('GAL4', 1, N'แกลลอน', 1, 'Y', 'Y', 1.00), ('GAL4', 2, N'ลัง', 4, 'N', 'N', 0.97),
  ('ROLL', 1, N'ม้วน', 1, 'Y', 'N', 1.00), ('ROLL', 2, N'แพ็ค', 6, 'N', 'Y', 0.97), ('ROLL', 3, N'ลัง', 48, 'N', 'N', 0.94),
  ('ROLLONE', 1, N'ม้วน', 1, 'Y', 'Y', 1.00), ('ROLLONE', 2, N'ลัง', 10, 'N', 'N', 0.95),
  ('TAPE', 1, N'ม้วน', 1, 'Y', 'N', 1.00), ('TAPE', 2, N'แถว', 8, 'N', 'Y', 0.97), ('TAPE', 3, N'ลัง', 96, 'N', 'N', 0.93),
  ('PCS', 1, N'ชิ้น', 1, 'Y', 'Y', 1.00), ('PCS', 2, N'โหล', 12, 'N', 'N', 0.96), ('PCS', 3, N'ลัง', 144, 'N', 'N', 0.92),
  ('PCSONE', 1, N'ตัว', 1, 'Y', 'Y', 1.00),
  ('DOZ', 1, N'ชิ้น', 1, 'Y', 'N', 1.00), ('DOZ', 2, N'โหล', 12, 'N', 'Y', 0.96), ('DOZ', 3, N'กล่อง', 24, 'N', 'N', 0.94),
  ('DOZ', 4, N'ลัง', 144, 'N', 'N', 0.92),
  ('HANDLE', 1, N'ด้าม', 1, 'Y', 'Y', 1.00), ('HANDLE', 2, N'โหล', 12, 'N', 'N', 0.95),
  ('CARD', 1, N'แผง', 1, 'Y', 'Y', 1.00), ('CARD', 2, N'กล่อง', 12, 'N', 'N', 0.96), ('CARD', 3, N'ลัง', 144, 'N', 'N', 0.92),
  ('CARD50', 1, N'ชิ้น', 1, 'Y', 'N', 1.00), ('CARD50', 2, N'แผง', 50, 'N', 'Y', 0.95), ('CARD50', 3, N'ลัง', 1000, 'N', 'N', 0.90),
  ('BULB', 1, N'ดวง', 1, 'Y', 'Y', 1.00), ('BULB', 2, N'กล่อง', 10, 'N', 'N', 0.96), ('BULB', 3, N'ลัง', 100, 'N', 'N', 0.92),
  ('PAIR', 1, N'คู่', 1, 'Y', 'Y', 1.00), ('PAIR', 2, N'โหล', 12, 'N', 'N', 0.95), ('PAIR', 3, N'ลัง', 144, 'N', 'N', 0.92),
  ('BIN', 1, N'ใบ', 1, 'Y', 'Y', 1.00),
  ('SOAP', 1, N'ก้อน', 1, 'Y', 'N', 1.00), ('SOAP', 2, N'แพ็ค', 4, 'N', 'N', 0.98), ('SOAP', 3, N'โหล', 12, 'N', 'Y', 0.96),
  ('SOAP', 4, N'ลัง', 144, 'N', 'N', 0.92),
  ('TUBE', 1, N'หลอด', 1, 'Y', 'N', 1.00), ('TUBE', 2, N'แพ็ค', 6, 'N', 'Y', 0.97), ('TUBE', 3, N'ลัง', 72, 'N', 'N', 0.93),
  ('TUBE24', 1, N'หลอด', 1, 'Y', 'N', 1.00), ('TUBE24', 2, N'กล่อง', 24, 'N', 'Y', 0.95),
  ('BRUSH', 1, N'ด้าม', 1, 'Y', 'Y', 1.00), ('BRUSH', 2, N'โหล', 12, 'N', 'N', 0.95), ('BRUSH', 3, N'ลัง', 144, 'N', 'N', 0.92),
  ('INHALER', 1, N'หลอด', 1, 'Y', 'N', 1.00), ('INHALER', 2, N'โหล', 12, 'N', 'Y', 0.96), ('INHALER', 3, N'ลัง', 288, 'N', 'N', 0.92),
  ('PEN', 1, N'ด้าม', 1, 'Y', 'Y', 1.00), ('PEN', 2, N'โหล', 12, 'N', 'N', 0.95), ('PEN', 3, N'ลัง', 144, 'N', 'N', 0.90),
  ('PENCIL', 1, N'แท่ง', 1, 'Y', 'Y', 1.00), ('PENCIL', 2, N'โหล', 12, 'N', 'N', 0.95), ('PENCIL', 3, N'ลัง', 144, 'N', 'N', 0.90),
  ('REAM', 1, N'รีม', 1, 'Y', 'Y', 1.00), ('REAM', 2, N'กล่อง', 5, 'N', 'N', 0.97),
  ('BOOK', 1, N'เล่ม', 1, 'Y', 'N', 1.00), ('BOOK', 2, N'โหล', 12, 'N', 'Y', 0.95), ('BOOK', 3, N'ลัง', 120, 'N', 'N', 0.92),
  ('FILE', 1, N'แฟ้ม', 1, 'Y', 'Y', 1.00), ('FILE', 2, N'โหล', 12, 'N', 'N', 0.95), ('FILE', 3, N'ลัง', 48, 'N', 'N', 0.92),
  ('PAD', 1, N'เล่ม', 1, 'Y', 'N', 1.00), ('PAD', 2, N'แพ็ค', 12, 'N', 'Y', 0.95), ('PAD', 3, N'ลัง', 144, 'N', 'N', 0.92),
  ('MACHINE', 1, N'เครื่อง', 1, 'Y', 'Y', 1.00),
  ('NAIL', 1, N'กิโลกรัม', 1, 'Y', 'Y', 1.00), ('NAIL', 2, N'ลัง', 25, 'N', 'N', 0.95),
  ('SCREW', 1, N'ตัว', 1, 'Y', 'N', 1.00), ('SCREW', 2, N'กล่อง', 100, 'N', 'Y', 0.90), ('SCREW', 3, N'ลัง', 2000, 'N', 'N', 0.85),
  ('CABLE', 1, N'เมตร', 1, 'Y', 'N', 1.00), ('CABLE', 2, N'ม้วน', 100, 'N', 'Y', 0.90),
  ('PAIL', 1, N'ถัง', 1, 'Y', 'Y', 1.00),
  ('PIPE', 1, N'เส้น', 1, 'Y', 'Y', 1.00), ('PIPE', 2, N'มัด', 10, 'N', 'N', 0.96),
  ('FITTING', 1, N'ตัว', 1, 'Y', 'N', 1.00), ('FITTING', 2, N'ถุง', 50, 'N', 'Y', 0.92), ('FITTING', 3, N'ลัง', 500, 'N', 'N', 0.88),
  ('SVC', 1, N'ครั้ง', 1, 'Y', 'Y', 1.00),
  ('SET', 1, N'ชุด', 1, 'Y', 'Y', 1.00),
  ('CARTONBOX', 1, N'ใบ', 1, 'Y', 'Y', 1.00), ('CARTONBOX', 2, N'มัด', 20, 'N', 'N', 0.95)
GO

-- The product list: code, Thai and English names, group, pack, the small
-- unit's retail price and the brand (a product attribute). Showcase 'Y'
-- products get their stock by hand further down.
Create Table DemoProduct (
  Code VarChar(30) Not Null Primary Key,
  ThaiName NVarChar(150) Not Null,
  EngName NVarChar(150) Not Null,
  PGroup VarChar(20) Not Null,
  Pack VarChar(12) Not Null,
  Price Decimal(18,2) Not Null,
  Brand VarChar(10) Not Null,
  Showcase Char(1) Not Null Default 'N'
)
GO
Insert Into DemoProduct (Code, ThaiName, EngName, PGroup, Pack, Price, Brand) Values
  ('D1000', N'ชาเขียวพร้อมดื่ม กรีนลีฟ (รหัสหลัก)', N'Green Leaf Ready-to-Drink Green Tea (master code)', 'DRINK', 'BOT12', 20.00, 'GLEAF'),
  ('D1001', N'ชาเขียวพร้อมดื่ม กรีนลีฟ รสน้ำผึ้งมะนาว 500 มล.', N'Green Leaf Honey Lemon Green Tea 500 ml', 'DRINK', 'BOT12', 20.00, 'GLEAF'),
  ('D1002', N'ชาเขียวพร้อมดื่ม กรีนลีฟ รสต้นตำรับ 500 มล.', N'Green Leaf Original Green Tea 500 ml', 'DRINK', 'BOT12', 20.00, 'GLEAF'),
  ('D1003', N'น้ำดื่ม ภูผา 600 มล.', N'Phu Pha Drinking Water 600 ml', 'DRINK', 'BOT12', 7.00, 'PHUPHA'),
  ('D1004', N'น้ำดื่ม ภูผา 1.5 ลิตร', N'Phu Pha Drinking Water 1.5 l', 'DRINK', 'BOT6', 14.00, 'PHUPHA'),
  ('D1005', N'น้ำแร่ธรรมชาติ ภูผา 330 มล.', N'Phu Pha Natural Mineral Water 330 ml', 'DRINK', 'BOT24', 12.00, 'PHUPHA'),
  ('D1006', N'น้ำอัดลม คูลบลู รสโคล่า 325 มล.', N'Cool Blue Cola 325 ml can', 'DRINK', 'CAN', 15.00, 'COOLBLUE'),
  ('D1007', N'น้ำอัดลม คูลบลู รสน้ำแดง 325 มล.', N'Cool Blue Red Soda 325 ml can', 'DRINK', 'CAN', 15.00, 'COOLBLUE'),
  ('D1008', N'น้ำอัดลม คูลบลู รสมะนาว 1.25 ลิตร', N'Cool Blue Lemon-Lime 1.25 l', 'DRINK', 'BOT6', 30.00, 'COOLBLUE'),
  ('D1009', N'น้ำส้ม 100% ซันนี่ 1 ลิตร', N'Sunny 100% Orange Juice 1 l', 'DRINK', 'CARTON12', 55.00, 'SUNNY'),
  ('D1010', N'น้ำฝรั่ง ซันนี่ 250 มล.', N'Sunny Guava Juice 250 ml', 'DRINK', 'BOX36', 12.00, 'SUNNY'),
  ('D1011', N'นมยูเอชที มิลค์กี้ฟาร์ม รสจืด 200 มล.', N'Milky Farm UHT Milk Plain 200 ml', 'DRINK', 'BOX36', 13.00, 'MILKY'),
  ('D1012', N'นมยูเอชที มิลค์กี้ฟาร์ม รสช็อกโกแลต 200 มล.', N'Milky Farm UHT Chocolate Milk 200 ml', 'DRINK', 'BOX36', 13.00, 'MILKY'),
  ('D1013', N'นมเปรี้ยว มิลค์กี้ฟาร์ม รสสตรอว์เบอร์รี 180 มล.', N'Milky Farm Strawberry Drinking Yoghurt 180 ml', 'DRINK', 'BOT4', 10.00, 'MILKY'),
  ('D1014', N'กาแฟกระป๋อง ดาวเหนือ เอสเพรสโซ 180 มล.', N'Dao Nuea Canned Espresso Coffee 180 ml', 'DRINK', 'CAN', 15.00, 'DAONUEA'),
  ('D1015', N'กาแฟปรุงสำเร็จ ดาวเหนือ 3in1 (แพ็ค 27 ซอง)', N'Dao Nuea 3in1 Coffee Mix, pack of 27', 'DRINK', 'PACK24', 120.00, 'DAONUEA'),
  ('D1016', N'กาแฟปรุงสำเร็จ ดาวเหนือ 3in1 ซองเดี่ยว 20 กรัม', N'Dao Nuea 3in1 Coffee Mix sachet 20 g', 'DRINK', 'STRIP', 5.00, 'DAONUEA'),
  ('D1017', N'เครื่องดื่มเกลือแร่ พาวเวอร์พลัส กลิ่นส้ม 500 มล.', N'Power Plus Orange Electrolyte Drink 500 ml', 'DRINK', 'BOT12', 12.00, 'POWER'),
  ('D1018', N'เครื่องดื่มชูกำลัง พาวเวอร์พลัส 150 มล.', N'Power Plus Energy Drink 150 ml', 'DRINK', 'BOT10', 10.00, 'POWER'),
  ('D1019', N'โซดา คูลบลู 325 มล. ขวดแก้ว', N'Cool Blue Soda Water 325 ml glass bottle', 'DRINK', 'BOT24', 8.00, 'COOLBLUE'),
  ('D1020', N'น้ำมะพร้าว 100% ซันนี่ 350 มล.', N'Sunny 100% Coconut Water 350 ml', 'DRINK', 'CAN', 25.00, 'SUNNY'),
  ('D1021', N'ชาไทยพร้อมดื่ม กรีนลีฟ 250 มล.', N'Green Leaf Thai Milk Tea 250 ml', 'DRINK', 'BOX36', 12.00, 'GLEAF'),
  ('D1022', N'น้ำแข็งหลอด ภูผา 5 กก.', N'Phu Pha Tube Ice 5 kg', 'DRINK', 'SACK', 25.00, 'PHUPHA'),
  ('D1023', N'น้ำผลไม้รวม 100% ซันนี่ 1 ลิตร', N'Sunny 100% Mixed Fruit Juice 1 l', 'DRINK', 'CARTON12', 55.00, 'SUNNY'),
  ('D1024', N'นมถั่วเหลือง ใบบัว สูตรหวานน้อย 300 มล.', N'Bai Bua Soy Milk Less Sugar 300 ml', 'DRINK', 'BOT12', 12.00, 'BAIBUA'),
  ('D1025', N'น้ำดื่ม ภูผา 6 ลิตร', N'Phu Pha Drinking Water 6 l', 'DRINK', 'GAL4', 35.00, 'PHUPHA'),
  ('D1026', N'ชาเขียวพร้อมดื่ม กรีนลีฟ ไม่มีน้ำตาล 500 มล.', N'Green Leaf Unsweetened Green Tea 500 ml', 'DRINK', 'BOT12', 20.00, 'GLEAF'),
  ('D1027', N'กาแฟดำพร้อมดื่ม ดาวเหนือ 250 มล.', N'Dao Nuea Black Coffee 250 ml', 'DRINK', 'CAN', 20.00, 'DAONUEA'),
  ('D1028', N'น้ำอัดลม คูลบลู รสส้ม 325 มล.', N'Cool Blue Orange Soda 325 ml can', 'DRINK', 'CAN', 15.00, 'COOLBLUE'),
  ('D1029', N'นมยูเอชที มิลค์กี้ฟาร์ม รสหวาน 1 ลิตร', N'Milky Farm UHT Sweetened Milk 1 l', 'DRINK', 'CARTON12', 46.00, 'MILKY'),
  ('D1030', N'น้ำมะนาว ซันนี่ 300 มล.', N'Sunny Lime Juice 300 ml', 'DRINK', 'BOT12', 15.00, 'SUNNY'),
  ('S2001', N'มันฝรั่งทอดกรอบ กรอบดี รสออริจินัล 50 กรัม', N'Krob Dee Potato Chips Original 50 g', 'SNACK', 'BAG', 20.00, 'KROBDEE'),
  ('S2002', N'มันฝรั่งทอดกรอบ กรอบดี รสบาร์บีคิว 50 กรัม', N'Krob Dee Potato Chips Barbecue 50 g', 'SNACK', 'BAG', 20.00, 'KROBDEE'),
  ('S2003', N'มันฝรั่งทอดกรอบ กรอบดี รสสาหร่าย 50 กรัม', N'Krob Dee Potato Chips Seaweed 50 g', 'SNACK', 'BAG', 20.00, 'KROBDEE'),
  ('S2004', N'ข้าวเกรียบกุ้ง ทะเลทอง 60 กรัม', N'Thale Thong Prawn Crackers 60 g', 'SNACK', 'BAG', 15.00, 'THALE'),
  ('S2005', N'ข้าวโพดอบกรอบ ซันนี่ รสชีส 56 กรัม', N'Sunny Corn Puffs Cheese 56 g', 'SNACK', 'BAG', 20.00, 'SUNNY'),
  ('S2006', N'ถั่วลิสงอบเกลือ นาวา 40 กรัม', N'Nawa Salted Roasted Peanuts 40 g', 'SNACK', 'BAG', 10.00, 'NAWA'),
  ('S2007', N'เม็ดมะม่วงหิมพานต์อบ นาวา 100 กรัม', N'Nawa Roasted Cashew Nuts 100 g', 'SNACK', 'BAGS', 65.00, 'NAWA'),
  ('S2008', N'สาหร่ายทะเลอบกรอบ ทะเลทอง รสเผ็ด 32 กรัม', N'Thale Thong Crispy Seaweed Spicy 32 g', 'SNACK', 'BAG', 30.00, 'THALE'),
  ('S2009', N'ขนมปังกรอบ ใบบัว รสเนย 120 กรัม', N'Bai Bua Butter Crackers 120 g', 'SNACK', 'WRAP12', 25.00, 'BAIBUA'),
  ('S2010', N'เวเฟอร์สอดไส้ช็อกโกแลต ใบบัว 45 กรัม', N'Bai Bua Chocolate Wafers 45 g', 'SNACK', 'BAG', 10.00, 'BAIBUA'),
  ('S2011', N'คุกกี้เนยสด ใบบัว กล่องเหล็ก 454 กรัม', N'Bai Bua Butter Cookies, tin of 454 g', 'SNACK', 'TIN', 189.00, 'BAIBUA'),
  ('S2012', N'ลูกอมรสผลไม้รวม สุขใจ (ถุง 100 เม็ด)', N'Sukjai Fruit Candy, bag of 100', 'SNACK', 'BAGS', 45.00, 'SUKJAI'),
  ('S2013', N'หมากฝรั่ง สุขใจ รสมินต์ 13.5 กรัม', N'Sukjai Mint Chewing Gum 13.5 g', 'SNACK', 'STRIP', 12.00, 'SUKJAI'),
  ('S2014', N'ช็อกโกแลตนม สุขใจ 40 กรัม', N'Sukjai Milk Chocolate 40 g', 'SNACK', 'BAG', 25.00, 'SUKJAI'),
  ('S2015', N'ปลาเส้นปรุงรส ทะเลทอง 30 กรัม', N'Thale Thong Seasoned Fish Snack 30 g', 'SNACK', 'BAG', 20.00, 'THALE'),
  ('S2016', N'หมูแผ่นอบกรอบ แม่ศรี 50 กรัม', N'Mae Si Crispy Pork Sheets 50 g', 'SNACK', 'BAG', 35.00, 'MAESI'),
  ('S2017', N'กล้วยอบกรอบ แม่ศรี 80 กรัม', N'Mae Si Banana Chips 80 g', 'SNACK', 'BAG', 30.00, 'MAESI'),
  ('S2018', N'ทุเรียนทอดกรอบ แม่ศรี 100 กรัม', N'Mae Si Durian Chips 100 g', 'SNACK', 'BAGS', 120.00, 'MAESI'),
  ('S2019', N'เยลลี่ผลไม้ สุขใจ รวมรส (ถุง 20 ชิ้น)', N'Sukjai Fruit Jelly, bag of 20', 'SNACK', 'BAGS', 35.00, 'SUKJAI'),
  ('S2020', N'ขนมปังแท่งรสนม ใบบัว 40 กรัม', N'Bai Bua Milk Biscuit Sticks 40 g', 'SNACK', 'BAG', 12.00, 'BAIBUA'),
  ('S2021', N'ป๊อปคอร์น ซันนี่ รสคาราเมล 65 กรัม', N'Sunny Caramel Popcorn 65 g', 'SNACK', 'BAG', 25.00, 'SUNNY'),
  ('S2022', N'ถั่วลันเตาอบกรอบ นาวา รสวาซาบิ 40 กรัม', N'Nawa Wasabi Green Peas 40 g', 'SNACK', 'BAG', 12.00, 'NAWA'),
  ('S2023', N'ข้าวตังหน้าธัญพืช แม่ศรี 90 กรัม', N'Mae Si Rice Crackers with Grains 90 g', 'SNACK', 'WRAP12', 35.00, 'MAESI'),
  ('S2024', N'แครกเกอร์ ใบบัว 100 กรัม', N'Bai Bua Crackers 100 g', 'SNACK', 'WRAP12', 20.00, 'BAIBUA'),
  ('S2025', N'มาร์ชเมลโล สุขใจ 150 กรัม', N'Sukjai Marshmallows 150 g', 'SNACK', 'BAGS', 39.00, 'SUKJAI'),
  ('S2026', N'มันฝรั่งทอดกรอบ กรอบดี รสออริจินัล 150 กรัม', N'Krob Dee Potato Chips Original 150 g', 'SNACK', 'BAGS', 45.00, 'KROBDEE'),
  ('S2027', N'ขนมขาไก่ แม่ศรี 200 กรัม', N'Mae Si Chicken-Leg Biscuits 200 g', 'SNACK', 'BAGS', 35.00, 'MAESI'),
  ('S2028', N'ข้าวโพดคั่ว นาวา 150 กรัม', N'Nawa Roasted Corn 150 g', 'SNACK', 'BAGS', 25.00, 'NAWA'),
  ('S2029', N'ลูกอมรสกาแฟ สุขใจ (ถุง 100 เม็ด)', N'Sukjai Coffee Candy, bag of 100', 'SNACK', 'BAGS', 45.00, 'SUKJAI'),
  ('S2030', N'ทองม้วนกรอบ แม่ศรี (กล่อง 20 ชิ้น)', N'Mae Si Crispy Coconut Rolls, box of 20', 'SNACK', 'BOX', 65.00, 'MAESI'),
  ('S2099', N'มันฝรั่งทอดกรอบ กรอบดี รสต้มยำ 50 กรัม (เลิกจำหน่าย)', N'Krob Dee Potato Chips Tom Yum 50 g (discontinued)', 'SNACK', 'BAG', 20.00, 'KROBDEE'),
  ('F3001', N'ข้าวหอมมะลิ 100% รวงข้าว 5 กก.', N'Ruang Khao 100% Jasmine Rice 5 kg', 'FOOD', 'BALE4', 189.00, 'RUANG'),
  ('F3002', N'ข้าวหอมมะลิ รวงข้าว 1 กก.', N'Ruang Khao Jasmine Rice 1 kg', 'FOOD', 'BALE12', 45.00, 'RUANG'),
  ('F3003', N'น้ำปลาแท้ แม่ศรี 700 มล.', N'Mae Si Fish Sauce 700 ml', 'FOOD', 'BTL12', 32.00, 'MAESI'),
  ('F3004', N'ซีอิ๊วขาว แม่ศรี สูตร 1 700 มล.', N'Mae Si Light Soy Sauce 700 ml', 'FOOD', 'BTL12', 38.00, 'MAESI'),
  ('F3005', N'ซอสปรุงรส แม่ศรี ฝาเขียว 600 มล.', N'Mae Si Seasoning Sauce 600 ml', 'FOOD', 'BTL12', 42.00, 'MAESI'),
  ('F3006', N'ซอสหอยนางรม แม่ศรี 600 มล.', N'Mae Si Oyster Sauce 600 ml', 'FOOD', 'BTL12', 45.00, 'MAESI'),
  ('F3007', N'ซอสพริก ทองคำ 300 มล.', N'Thong Kham Chili Sauce 300 ml', 'FOOD', 'BTL24', 25.00, 'THONG'),
  ('F3008', N'น้ำมันถั่วเหลือง ทองคำ 1 ลิตร', N'Thong Kham Soybean Oil 1 l', 'FOOD', 'BTL12', 55.00, 'THONG'),
  ('F3009', N'น้ำมันปาล์ม ทองคำ 1 ลิตร', N'Thong Kham Palm Oil 1 l', 'FOOD', 'BTL12', 45.00, 'THONG'),
  ('F3010', N'น้ำตาลทรายขาว ทองคำ 1 กก.', N'Thong Kham White Sugar 1 kg', 'FOOD', 'PKT', 28.00, 'THONG'),
  ('F3011', N'เกลือป่นเสริมไอโอดีน ทะเลทอง 500 กรัม', N'Thale Thong Iodised Salt 500 g', 'FOOD', 'PKT', 10.00, 'THALE'),
  ('F3012', N'ผงชูรส ดาวทอง 500 กรัม', N'Dao Thong MSG 500 g', 'FOOD', 'PKT', 45.00, 'DAOTHONG'),
  ('F3013', N'บะหมี่กึ่งสำเร็จรูป ใบบัว รสต้มยำกุ้ง 55 กรัม', N'Bai Bua Instant Noodles Tom Yum Kung 55 g', 'FOOD', 'NOODLE', 7.00, 'BAIBUA'),
  ('F3014', N'บะหมี่กึ่งสำเร็จรูป ใบบัว รสหมูสับ 55 กรัม', N'Bai Bua Instant Noodles Minced Pork 55 g', 'FOOD', 'NOODLE', 6.00, 'BAIBUA'),
  ('F3015', N'บะหมี่ถ้วย ใบบัว รสต้มยำน้ำข้น 60 กรัม', N'Bai Bua Cup Noodles Creamy Tom Yum 60 g', 'FOOD', 'CUP', 15.00, 'BAIBUA'),
  ('F3016', N'ปลาซาร์ดีนในซอสมะเขือเทศ ทะเลทอง 155 กรัม', N'Thale Thong Sardines in Tomato Sauce 155 g', 'FOOD', 'TINCAN', 18.00, 'THALE'),
  ('F3017', N'ทูน่าในน้ำมันพืช ทะเลทอง 185 กรัม', N'Thale Thong Tuna in Oil 185 g', 'FOOD', 'TINCAN', 35.00, 'THALE'),
  ('F3018', N'ข้าวโพดหวานกระป๋อง ซันนี่ 425 กรัม', N'Sunny Sweet Corn 425 g', 'FOOD', 'TINCAN', 29.00, 'SUNNY'),
  ('F3019', N'นมข้นหวาน มิลค์กี้ฟาร์ม 388 กรัม', N'Milky Farm Sweetened Condensed Milk 388 g', 'FOOD', 'TINCAN', 28.00, 'MILKY'),
  ('F3020', N'นมข้นจืด มิลค์กี้ฟาร์ม 405 กรัม', N'Milky Farm Evaporated Milk 405 g', 'FOOD', 'TINCAN', 25.00, 'MILKY'),
  ('F3021', N'ไข่ไก่สด เบอร์ 2', N'Fresh Chicken Eggs, size 2', 'FOOD', 'EGG', 4.00, 'NOBRAND'),
  ('F3022', N'น้ำพริกเผา แม่ศรี 228 กรัม', N'Mae Si Chili Paste in Oil 228 g', 'FOOD', 'JAR', 45.00, 'MAESI'),
  ('F3023', N'กะปิแท้ แม่ศรี 150 กรัม', N'Mae Si Shrimp Paste 150 g', 'FOOD', 'JAR', 35.00, 'MAESI'),
  ('F3024', N'แป้งสาลีอเนกประสงค์ ดาวทอง 1 กก.', N'Dao Thong All-Purpose Flour 1 kg', 'FOOD', 'PKT', 38.00, 'DAOTHONG'),
  ('F3025', N'แป้งมันสำปะหลัง ดาวทอง 500 กรัม', N'Dao Thong Tapioca Starch 500 g', 'FOOD', 'PKT', 20.00, 'DAOTHONG'),
  ('F3026', N'ซอสมะเขือเทศ ทองคำ 300 กรัม', N'Thong Kham Tomato Ketchup 300 g', 'FOOD', 'BTL24', 30.00, 'THONG'),
  ('F3027', N'น้ำส้มสายชูกลั่น ทองคำ 700 มล.', N'Thong Kham Distilled Vinegar 700 ml', 'FOOD', 'BTL12', 18.00, 'THONG'),
  ('F3028', N'ผงปรุงรสหมู ดาวทอง 75 กรัม', N'Dao Thong Pork Seasoning Powder 75 g', 'FOOD', 'STRIP', 12.00, 'DAOTHONG'),
  ('F3029', N'เส้นหมี่อบแห้ง รวงข้าว 400 กรัม', N'Ruang Khao Dried Rice Vermicelli 400 g', 'FOOD', 'PKT', 25.00, 'RUANG'),
  ('F3030', N'วุ้นเส้น รวงข้าว 100 กรัม', N'Ruang Khao Glass Noodles 100 g', 'FOOD', 'PKT', 15.00, 'RUANG'),
  ('H4001', N'น้ำยาล้างจาน ใสสะอาด กลิ่นมะนาว 550 มล.', N'Sai Sa-at Dishwashing Liquid Lemon 550 ml', 'HOUSE', 'BTL12', 25.00, 'SAISA'),
  ('H4002', N'น้ำยาล้างจาน ใสสะอาด ชนิดถุงเติม 500 มล.', N'Sai Sa-at Dishwashing Liquid Refill 500 ml', 'HOUSE', 'REFILL', 20.00, 'SAISA'),
  ('H4003', N'ผงซักฟอก ขาวใส สูตรมาตรฐาน 800 กรัม', N'Khao Sai Detergent Powder 800 g', 'HOUSE', 'BAG12', 65.00, 'KHAOSAI'),
  ('H4004', N'ผงซักฟอก ขาวใส 2.7 กก.', N'Khao Sai Detergent Powder 2.7 kg', 'HOUSE', 'BAG4', 189.00, 'KHAOSAI'),
  ('H4005', N'น้ำยาปรับผ้านุ่ม หอมละมุน กลิ่นฟลอรัล 600 มล. ถุงเติม', N'Hom Lamun Fabric Softener Floral 600 ml refill', 'HOUSE', 'REFILL', 35.00, 'HOMLA'),
  ('H4006', N'น้ำยาถูพื้น ใสสะอาด กลิ่นลาเวนเดอร์ 800 มล.', N'Sai Sa-at Floor Cleaner Lavender 800 ml', 'HOUSE', 'BTL12', 45.00, 'SAISA'),
  ('H4007', N'น้ำยาล้างห้องน้ำ ใสสะอาด 850 มล.', N'Sai Sa-at Bathroom Cleaner 850 ml', 'HOUSE', 'BTL12', 59.00, 'SAISA'),
  ('H4008', N'น้ำยาเช็ดกระจก ใสสะอาด หัวฉีด 520 มล.', N'Sai Sa-at Glass Cleaner Spray 520 ml', 'HOUSE', 'BTL12', 49.00, 'SAISA'),
  ('H4009', N'กระดาษชำระ นุ่มนวล หนา 2 ชั้น', N'Num Nuan 2-Ply Toilet Tissue', 'HOUSE', 'ROLL', 12.00, 'NUMNUAN'),
  ('H4010', N'กระดาษเช็ดหน้า นุ่มนวล 150 แผ่น', N'Num Nuan Facial Tissue 150 sheets', 'HOUSE', 'BOX4', 30.00, 'NUMNUAN'),
  ('H4011', N'ถุงขยะสีดำ 24x28 นิ้ว (แพ็ค 1 กก.)', N'Black Garbage Bags 24x28 in, 1 kg pack', 'HOUSE', 'PACK24', 65.00, 'NOBRAND'),
  ('H4012', N'ฟองน้ำล้างจาน พร้อมใยขัด', N'Kitchen Sponge with Scourer', 'HOUSE', 'DOZ', 12.00, 'SAISA'),
  ('H4013', N'ไม้กวาดดอกหญ้า', N'Grass Broom', 'HOUSE', 'HANDLE', 65.00, 'NOBRAND'),
  ('H4014', N'ไม้ถูพื้น พร้อมผ้าม็อบ', N'Floor Mop with Cloth Head', 'HOUSE', 'HANDLE', 159.00, 'NOBRAND'),
  ('H4015', N'ยาจุดกันยุง ขดใหญ่ ฟ้าใส (กล่อง 10 ขด)', N'Fah Sai Mosquito Coils, box of 10', 'HOUSE', 'BOX', 25.00, 'FAHSAI'),
  ('H4016', N'สเปรย์กำจัดยุงและแมลง ฟ้าใส 600 มล.', N'Fah Sai Insect Spray 600 ml', 'HOUSE', 'CAN12', 99.00, 'FAHSAI'),
  ('H4017', N'น้ำยาซักผ้าขาว ขาวใส 600 มล.', N'Khao Sai Bleach 600 ml', 'HOUSE', 'BTL12', 29.00, 'KHAOSAI'),
  ('H4018', N'ถ่านอัลคาไลน์ AA พลังแรง (แพ็ค 4 ก้อน)', N'Palang Raeng AA Alkaline Batteries, 4-pack', 'HOUSE', 'CARD', 59.00, 'PALANG'),
  ('H4019', N'หลอดไฟ LED 9 วัตต์ แสงขาว ขั้ว E27', N'LED Bulb 9 W Daylight E27', 'HOUSE', 'BULB', 69.00, 'PALANG'),
  ('H4020', N'ไม้แขวนเสื้อพลาสติก (แพ็ค 12 ชิ้น)', N'Plastic Clothes Hangers, pack of 12', 'HOUSE', 'PACK24', 45.00, 'NOBRAND'),
  ('H4021', N'ถุงมือยางอเนกประสงค์ ไซซ์ M', N'Household Rubber Gloves, size M', 'HOUSE', 'PAIR', 35.00, 'SAISA'),
  ('H4022', N'ผ้าเช็ดอเนกประสงค์ไมโครไฟเบอร์ 30x30 ซม.', N'Microfibre Cloth 30x30 cm', 'HOUSE', 'PCS', 29.00, 'SAISA'),
  ('H4023', N'ถังน้ำพลาสติกพร้อมฝา 20 ลิตร', N'Plastic Bucket with Lid 20 l', 'HOUSE', 'BIN', 129.00, 'NOBRAND'),
  ('H4024', N'กล่องถนอมอาหาร 1 ลิตร (แพ็ค 3 ใบ)', N'Food Storage Boxes 1 l, pack of 3', 'HOUSE', 'PACK24', 99.00, 'NOBRAND'),
  ('H4025', N'ฟิล์มถนอมอาหาร 30 ซม. x 30 ม.', N'Cling Film 30 cm x 30 m', 'HOUSE', 'ROLL', 49.00, 'NOBRAND'),
  ('H4026', N'อลูมิเนียมฟอยล์ 30 ซม. x 7.5 ม.', N'Aluminium Foil 30 cm x 7.5 m', 'HOUSE', 'ROLL', 59.00, 'NOBRAND'),
  ('H4027', N'ไม้จิ้มฟัน (กระปุก)', N'Toothpicks, jar', 'HOUSE', 'PCS', 10.00, 'NOBRAND'),
  ('H4028', N'เทียนไขสีขาว 6 นิ้ว (แพ็ค 10 เล่ม)', N'White Candles 6 in, pack of 10', 'HOUSE', 'PACK24', 35.00, 'NOBRAND'),
  ('H4029', N'ไฟแช็กแก๊ส', N'Gas Lighter', 'HOUSE', 'CARD50', 8.00, 'NOBRAND'),
  ('H4030', N'ถ่านอัลคาไลน์ AAA พลังแรง (แพ็ค 4 ก้อน)', N'Palang Raeng AAA Alkaline Batteries, 4-pack', 'HOUSE', 'CARD', 59.00, 'PALANG'),
  ('H4099', N'น้ำยาทำความสะอาดอเนกประสงค์ ใสสะอาด 1 ลิตร (สินค้าใหม่)', N'Sai Sa-at All-Purpose Cleaner 1 l (new item)', 'HOUSE', 'BTL12', 0, 'SAISA'),
  ('P5001', N'สบู่ก้อน หอมละมุน กลิ่นมะลิ 70 กรัม', N'Hom Lamun Bar Soap Jasmine 70 g', 'PERSONAL', 'SOAP', 15.00, 'HOMLA'),
  ('P5002', N'สบู่ก้อน หอมละมุน กลิ่นกุหลาบ 70 กรัม', N'Hom Lamun Bar Soap Rose 70 g', 'PERSONAL', 'SOAP', 15.00, 'HOMLA'),
  ('P5003', N'ครีมอาบน้ำ หอมละมุน 500 มล.', N'Hom Lamun Shower Cream 500 ml', 'PERSONAL', 'BTL12', 129.00, 'HOMLA'),
  ('P5004', N'แชมพู ผมสวย สูตรขจัดรังแค 340 มล.', N'Phom Suay Anti-Dandruff Shampoo 340 ml', 'PERSONAL', 'BTL12', 119.00, 'PHOMSUAY'),
  ('P5005', N'แชมพู ผมสวย ซองเดี่ยว 6 มล.', N'Phom Suay Shampoo sachet 6 ml', 'PERSONAL', 'STRIP', 2.00, 'PHOMSUAY'),
  ('P5006', N'ครีมนวดผม ผมสวย 320 มล.', N'Phom Suay Conditioner 320 ml', 'PERSONAL', 'BTL12', 119.00, 'PHOMSUAY'),
  ('P5007', N'ยาสีฟัน ฟันขาว สูตรสมุนไพร 160 กรัม', N'Fan Khao Herbal Toothpaste 160 g', 'PERSONAL', 'TUBE', 55.00, 'FANKHAO'),
  ('P5008', N'ยาสีฟัน ฟันขาว สูตรเย็นสดชื่น 90 กรัม', N'Fan Khao Cool Mint Toothpaste 90 g', 'PERSONAL', 'TUBE', 35.00, 'FANKHAO'),
  ('P5009', N'แปรงสีฟัน ฟันขาว ขนนุ่ม', N'Fan Khao Soft Toothbrush', 'PERSONAL', 'BRUSH', 25.00, 'FANKHAO'),
  ('P5010', N'น้ำยาบ้วนปาก ฟันขาว 500 มล.', N'Fan Khao Mouthwash 500 ml', 'PERSONAL', 'BTL12', 99.00, 'FANKHAO'),
  ('P5011', N'แป้งเด็ก ละมุนเบบี้ 180 กรัม', N'Lamun Baby Powder 180 g', 'PERSONAL', 'CAN12', 49.00, 'LAMUNBB'),
  ('P5012', N'โลชั่นบำรุงผิว หอมละมุน 400 มล.', N'Hom Lamun Body Lotion 400 ml', 'PERSONAL', 'BTL12', 159.00, 'HOMLA'),
  ('P5013', N'ผ้าอนามัย แบบมีปีก (ห่อ 8 ชิ้น)', N'Sanitary Pads with Wings, pack of 8', 'PERSONAL', 'WRAP', 35.00, 'LAMUNBB'),
  ('P5014', N'ผ้าอ้อมเด็กสำเร็จรูป ละมุนเบบี้ ไซซ์ L (ห่อ 32 ชิ้น)', N'Lamun Baby Diapers L, pack of 32', 'PERSONAL', 'WRAP4', 349.00, 'LAMUNBB'),
  ('P5015', N'มีดโกนหนวดแบบใช้แล้วทิ้ง (แพ็ค 5 ด้าม)', N'Disposable Razors, pack of 5', 'PERSONAL', 'CARD', 49.00, 'NOBRAND'),
  ('P5016', N'สำลีก้อน 100 กรัม', N'Cotton Balls 100 g', 'PERSONAL', 'WRAP', 29.00, 'LAMUNBB'),
  ('P5017', N'คอตตอนบัด (กล่อง 200 ก้าน)', N'Cotton Buds, box of 200', 'PERSONAL', 'BOX', 25.00, 'LAMUNBB'),
  ('P5018', N'เจลล้างมือ แอลกอฮอล์ 70% 450 มล.', N'Hand Sanitiser Gel 70% Alcohol 450 ml', 'PERSONAL', 'BTL12', 89.00, 'SAISA'),
  ('P5019', N'หน้ากากอนามัย 3 ชั้น (กล่อง 50 ชิ้น)', N'3-Ply Face Masks, box of 50', 'PERSONAL', 'BOX', 89.00, 'NOBRAND'),
  ('P5020', N'โรลออนระงับกลิ่นกาย หอมละมุน 50 มล.', N'Hom Lamun Roll-on Deodorant 50 ml', 'PERSONAL', 'BTL12', 59.00, 'HOMLA'),
  ('P5021', N'ครีมกันแดด หอมละมุน SPF50 30 มล.', N'Hom Lamun Sunscreen SPF50 30 ml', 'PERSONAL', 'TUBE', 189.00, 'HOMLA'),
  ('P5022', N'แชมพูเด็ก ละมุนเบบี้ 200 มล.', N'Lamun Baby Shampoo 200 ml', 'PERSONAL', 'BTL12', 79.00, 'LAMUNBB'),
  ('P5023', N'ทิชชูเปียก ละมุนเบบี้ 80 แผ่น', N'Lamun Baby Wet Wipes 80 sheets', 'PERSONAL', 'WRAP', 59.00, 'LAMUNBB'),
  ('P5024', N'พลาสเตอร์ปิดแผล (กล่อง 100 ชิ้น)', N'Adhesive Bandages, box of 100', 'PERSONAL', 'BOX', 69.00, 'NOBRAND'),
  ('P5025', N'ยาดมสมุนไพร', N'Herbal Inhaler', 'PERSONAL', 'INHALER', 25.00, 'NOBRAND'),
  ('T6001', N'ปากกาลูกลื่น เส้นสวย 0.5 มม. หมึกน้ำเงิน', N'Sen Suay Ballpoint Pen 0.5 mm Blue', 'STATIONERY', 'PEN', 5.00, 'SENSUAY'),
  ('T6002', N'ปากกาลูกลื่น เส้นสวย 0.5 มม. หมึกแดง', N'Sen Suay Ballpoint Pen 0.5 mm Red', 'STATIONERY', 'PEN', 5.00, 'SENSUAY'),
  ('T6003', N'ปากกาเจล เส้นสวย 0.7 มม. หมึกดำ', N'Sen Suay Gel Pen 0.7 mm Black', 'STATIONERY', 'PEN', 15.00, 'SENSUAY'),
  ('T6004', N'ดินสอไม้ 2B เส้นสวย', N'Sen Suay 2B Pencil', 'STATIONERY', 'PENCIL', 5.00, 'SENSUAY'),
  ('T6005', N'ยางลบดินสอ เส้นสวย ก้อนเล็ก', N'Sen Suay Eraser, small', 'STATIONERY', 'DOZ', 5.00, 'SENSUAY'),
  ('T6006', N'กระดาษถ่ายเอกสาร A4 80 แกรม (รีม 500 แผ่น)', N'A4 Copy Paper 80 gsm, ream of 500', 'STATIONERY', 'REAM', 129.00, 'SENSUAY'),
  ('T6007', N'กระดาษถ่ายเอกสาร A4 70 แกรม (รีม 500 แผ่น)', N'A4 Copy Paper 70 gsm, ream of 500', 'STATIONERY', 'REAM', 115.00, 'SENSUAY'),
  ('T6008', N'สมุดปกอ่อน มีเส้น 60 แผ่น', N'Ruled Exercise Book 60 sheets', 'STATIONERY', 'BOOK', 12.00, 'SENSUAY'),
  ('T6009', N'สมุดบัญชี ปกแข็ง 100 แผ่น', N'Hardcover Account Book 100 sheets', 'STATIONERY', 'BOOK', 45.00, 'SENSUAY'),
  ('T6010', N'แฟ้มสันกว้าง 3 นิ้ว A4 สีน้ำเงิน', N'Lever Arch File 3 in A4 Blue', 'STATIONERY', 'FILE', 89.00, 'SENSUAY'),
  ('T6011', N'ซองจดหมายสีขาว เบอร์ 9/55 (แพ็ค 50 ซอง)', N'White Envelopes No. 9/55, pack of 50', 'STATIONERY', 'PACK24', 45.00, 'SENSUAY'),
  ('T6012', N'ลวดเย็บกระดาษ เบอร์ 10', N'Staples No. 10', 'STATIONERY', 'BOXDZ', 8.00, 'SENSUAY'),
  ('T6013', N'เครื่องเย็บกระดาษ เบอร์ 10', N'Stapler No. 10', 'STATIONERY', 'PCS', 65.00, 'SENSUAY'),
  ('T6014', N'คลิปหนีบกระดาษสีดำ 19 มม. (กล่อง 12 ตัว)', N'Black Binder Clips 19 mm, box of 12', 'STATIONERY', 'BOXDZ', 15.00, 'SENSUAY'),
  ('T6015', N'เทปใส 3/4 นิ้ว x 36 หลา', N'Clear Tape 3/4 in x 36 yd', 'STATIONERY', 'TAPE', 20.00, 'SENSUAY'),
  ('T6016', N'เทปกาวย่น 1 นิ้ว', N'Masking Tape 1 in', 'STATIONERY', 'TAPE', 35.00, 'SENSUAY'),
  ('T6017', N'กรรไกรสแตนเลส 8 นิ้ว', N'Stainless Steel Scissors 8 in', 'STATIONERY', 'PCS', 59.00, 'SENSUAY'),
  ('T6018', N'คัตเตอร์ใหญ่ พร้อมใบมีด', N'Large Cutter with Blades', 'STATIONERY', 'PCS', 45.00, 'SENSUAY'),
  ('T6019', N'ปากกาเน้นข้อความ สีเหลือง', N'Highlighter Yellow', 'STATIONERY', 'PEN', 15.00, 'SENSUAY'),
  ('T6020', N'ปากกาเคมี 2 หัว สีดำ', N'Twin-Tip Permanent Marker Black', 'STATIONERY', 'PEN', 18.00, 'SENSUAY'),
  ('T6021', N'ปากกาลบคำผิด 7 มล.', N'Correction Pen 7 ml', 'STATIONERY', 'PEN', 45.00, 'SENSUAY'),
  ('T6022', N'กาวน้ำใส 50 มล.', N'Clear Liquid Glue 50 ml', 'STATIONERY', 'BTL12', 15.00, 'SENSUAY'),
  ('T6023', N'กาวแท่ง 8 กรัม', N'Glue Stick 8 g', 'STATIONERY', 'PENCIL', 25.00, 'SENSUAY'),
  ('T6024', N'ไม้บรรทัดสแตนเลส 12 นิ้ว', N'Stainless Steel Ruler 12 in', 'STATIONERY', 'PCS', 35.00, 'SENSUAY'),
  ('T6025', N'เครื่องคิดเลข 12 หลัก', N'12-Digit Calculator', 'STATIONERY', 'MACHINE', 259.00, 'NOBRAND'),
  ('T6026', N'ซองพลาสติกใส่เอกสาร A4 (แพ็ค 12 ซอง)', N'A4 Plastic Document Sleeves, pack of 12', 'STATIONERY', 'PACK24', 59.00, 'SENSUAY'),
  ('T6027', N'กระดาษโน้ตกาวในตัว 3x3 นิ้ว สีเหลือง', N'Sticky Notes 3x3 in Yellow', 'STATIONERY', 'PAD', 25.00, 'SENSUAY'),
  ('T6028', N'หมึกเติมแท่นประทับ สีน้ำเงิน', N'Stamp Pad Ink Blue', 'STATIONERY', 'BTL12', 25.00, 'SENSUAY'),
  ('T6029', N'ตรายางวันที่ ภาษาไทย', N'Thai Date Stamp', 'STATIONERY', 'PCS', 120.00, 'NOBRAND'),
  ('T6030', N'ซองเอกสารสีน้ำตาล A4 ขยายข้าง (แพ็ค 10 ซอง)', N'A4 Brown Gusset Envelopes, pack of 10', 'STATIONERY', 'PACK24', 55.00, 'SENSUAY'),
  ('W7001', N'ตะปูตอกไม้ 2 นิ้ว', N'Wire Nails 2 in', 'HARDWARE', 'NAIL', 55.00, 'CHANGTHAI'),
  ('W7002', N'ตะปูตอกไม้ 3 นิ้ว', N'Wire Nails 3 in', 'HARDWARE', 'NAIL', 55.00, 'CHANGTHAI'),
  ('W7003', N'สกรูเกลียวปล่อยหัวแฉก 8x1 นิ้ว', N'Phillips Self-Tapping Screws 8x1 in', 'HARDWARE', 'SCREW', 0.80, 'CHANGTHAI'),
  ('W7004', N'พุกพลาสติก เบอร์ 7', N'Plastic Wall Plugs No. 7', 'HARDWARE', 'SCREW', 0.50, 'CHANGTHAI'),
  ('W7005', N'ค้อนหงอน ด้ามไฟเบอร์ 16 ออนซ์', N'Claw Hammer, Fibreglass Handle 16 oz', 'HARDWARE', 'PCS', 189.00, 'CHANGTHAI'),
  ('W7006', N'ไขควงปากแบน 6 นิ้ว', N'Flat Screwdriver 6 in', 'HARDWARE', 'PCS', 59.00, 'CHANGTHAI'),
  ('W7007', N'ไขควงปากแฉก 6 นิ้ว', N'Phillips Screwdriver 6 in', 'HARDWARE', 'PCS', 59.00, 'CHANGTHAI'),
  ('W7008', N'คีมปากจิ้งจก 8 นิ้ว', N'Combination Pliers 8 in', 'HARDWARE', 'PCS', 159.00, 'CHANGTHAI'),
  ('W7009', N'ประแจเลื่อน 10 นิ้ว', N'Adjustable Wrench 10 in', 'HARDWARE', 'PCS', 219.00, 'CHANGTHAI'),
  ('W7010', N'สว่านไฟฟ้าไร้สาย 18 โวลต์ พร้อมแบตเตอรี่ 2 ก้อน', N'Cordless Drill 18 V with 2 Batteries', 'HARDWARE', 'MACHINE', 2490.00, 'MANKHONG'),
  ('W7011', N'ดอกสว่านเจาะเหล็ก 6 มม.', N'HSS Drill Bit 6 mm', 'HARDWARE', 'PCS', 45.00, 'MANKHONG'),
  ('W7012', N'ตลับเมตร 5 เมตร', N'Tape Measure 5 m', 'HARDWARE', 'PCS', 129.00, 'MANKHONG'),
  ('W7013', N'เทปพันสายไฟ สีดำ', N'Black Electrical Tape', 'HARDWARE', 'TAPE', 15.00, 'MANKHONG'),
  ('W7014', N'สายไฟ VAF 2x1.5 ตร.มม.', N'VAF Cable 2x1.5 sq mm', 'HARDWARE', 'CABLE', 12.00, 'MANKHONG'),
  ('W7015', N'ปลั๊กพ่วง 4 ช่อง 1 สวิตช์ สายยาว 3 เมตร', N'Power Strip, 4 Sockets 1 Switch, 3 m', 'HARDWARE', 'PCS', 259.00, 'MANKHONG'),
  ('W7016', N'สีน้ำอะครีลิก ทาภายนอก สีขาว 1 แกลลอน', N'Exterior Acrylic Paint White, 1 gal', 'HARDWARE', 'GAL4', 459.00, 'MANKHONG'),
  ('W7017', N'สีน้ำอะครีลิก ทาภายนอก สีขาว 5 แกลลอน', N'Exterior Acrylic Paint White, 5 gal', 'HARDWARE', 'PAIL', 1890.00, 'MANKHONG'),
  ('W7018', N'แปรงทาสี 3 นิ้ว', N'Paint Brush 3 in', 'HARDWARE', 'PCS', 49.00, 'CHANGTHAI'),
  ('W7019', N'ลูกกลิ้งทาสี 10 นิ้ว', N'Paint Roller 10 in', 'HARDWARE', 'PCS', 89.00, 'CHANGTHAI'),
  ('W7020', N'ทินเนอร์ 0.85 ลิตร', N'Paint Thinner 0.85 l', 'HARDWARE', 'CAN12', 65.00, 'MANKHONG'),
  ('W7021', N'ท่อพีวีซี 1/2 นิ้ว ชั้น 8.5 ยาว 4 เมตร', N'PVC Pipe 1/2 in Class 8.5, 4 m', 'HARDWARE', 'PIPE', 65.00, 'CHANGTHAI'),
  ('W7022', N'ข้อต่อตรงพีวีซี 1/2 นิ้ว', N'PVC Straight Coupling 1/2 in', 'HARDWARE', 'FITTING', 5.00, 'CHANGTHAI'),
  ('W7023', N'กาวทาท่อพีวีซี 250 กรัม', N'PVC Pipe Cement 250 g', 'HARDWARE', 'CAN12', 79.00, 'CHANGTHAI'),
  ('W7024', N'ปูนซีเมนต์ 50 กก.', N'Portland Cement 50 kg', 'HARDWARE', 'SACK', 165.00, 'NOBRAND'),
  ('W7025', N'ซิลิโคนยาแนว สีใส 300 มล.', N'Clear Silicone Sealant 300 ml', 'HARDWARE', 'TUBE24', 89.00, 'MANKHONG'),
  ('W7026', N'กุญแจคล้อง 40 มม.', N'Padlock 40 mm', 'HARDWARE', 'PCS', 129.00, 'MANKHONG'),
  ('W7027', N'บานพับสแตนเลส 4 นิ้ว', N'Stainless Steel Hinges 4 in', 'HARDWARE', 'PAIR', 79.00, 'CHANGTHAI'),
  ('W7028', N'ถุงมือผ้า ทอหนา', N'Heavy Knitted Work Gloves', 'HARDWARE', 'PAIR', 12.00, 'NOBRAND'),
  ('W7029', N'เชือกไนลอน 6 มม. ยาว 100 เมตร', N'Nylon Rope 6 mm, 100 m', 'HARDWARE', 'ROLLONE', 189.00, 'NOBRAND'),
  ('W7030', N'บันไดอลูมิเนียม 5 ขั้น', N'Aluminium Step Ladder, 5 Steps', 'HARDWARE', 'PCSONE', 1290.00, 'MANKHONG'),
  ('G8001', N'กระเช้าของขวัญ ชุดสุขภาพ', N'Gift Basket, Health Set', 'GIFT', 'SET', 990.00, 'NOBRAND'),
  ('G8002', N'กระเช้าของขวัญ ชุดเครื่องดื่ม', N'Gift Basket, Drinks Set', 'GIFT', 'SET', 690.00, 'NOBRAND'),
  ('SV01', N'ค่าขนส่งสินค้า เขตกรุงเทพฯ และปริมณฑล', N'Delivery, Bangkok and vicinity', 'SERVICE', 'SVC', 300.00, 'NOBRAND'),
  ('SV02', N'ค่าบริการติดตั้ง', N'Installation service', 'SERVICE', 'SVC', 500.00, 'NOBRAND'),
  ('M9001', N'ถุงพลาสติกหูหิ้ว 12x20 นิ้ว (แพ็ค 1 กก.)', N'Plastic Carrier Bags 12x20 in, 1 kg pack', 'PACKING', 'PACK24', 75.00, 'NOBRAND'),
  ('M9002', N'เทปโอพีพีปิดกล่อง สีใส 2 นิ้ว', N'Clear OPP Packing Tape 2 in', 'PACKING', 'TAPE', 35.00, 'NOBRAND'),
  ('M9003', N'กล่องลูกฟูก 30x40x30 ซม.', N'Corrugated Box 30x40x30 cm', 'PACKING', 'CARTONBOX', 18.00, 'NOBRAND'),
  ('M9004', N'กล่องไปรษณีย์ เบอร์ A', N'Postal Box Size A', 'PACKING', 'CARTONBOX', 6.00, 'NOBRAND'),
  ('M9099', N'กล่องลูกฟูก รุ่นเก่า (เลิกใช้)', N'Corrugated Box, old model (discontinued)', 'PACKING', 'CARTONBOX', 15.00, 'NOBRAND'),
  ('R9101', N'ตะกร้าหวายสำหรับจัดกระเช้า', N'Rattan Basket for Gift Sets', 'PACKING', 'PCS', 85.00, 'NOBRAND'),
  ('R9102', N'ริบบิ้นผ้าซาติน 1 นิ้ว (ม้วน 25 หลา)', N'Satin Ribbon 1 in, roll of 25 yd', 'PACKING', 'ROLLONE', 45.00, 'NOBRAND')
GO
Update DemoProduct Set Showcase = 'Y' Where Code In ('D1001', 'T6001', 'W7003', 'W7014')
GO

Insert Into Product (Code, ThaiName, EngName, PosName, ProductType, PType, PGroup, ProductGroup, TaxCode, DefaultWh,
  PriceIE, PrintFrac, UseSerial, LotControl, PriceByVolumn, Negative, Blocked, MasterCode, ProductFree)
Select D.Code, D.ThaiName, D.EngName, Left(D.ThaiName, 60),
       Case When D.PGroup = 'SERVICE' Then 'S' When D.Code Like 'M%' Then 'M' When D.Code Like 'R%' Then 'R' Else 'P' End,
       T.Id, G.Id, PG.Id, X.Id, W.Id, 'I', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N'
From DemoProduct D
Inner Join DemoGroup DG On DG.PGroup = D.PGroup
Inner Join Misc T On T.GroupCode = 'PTYPE' And T.Code = DG.PType
Inner Join Misc G On G.GroupCode = 'PGROUP' And G.Code = D.PGroup
Inner Join productgroup PG On PG.Code = D.PGroup
Inner Join Tax X On X.Code = 'V7'
Inner Join Warehouse W On W.Code = 'MAIN'
Order By D.Code
GO

-- Bar codes are EAN-13 under the company's own GS1 prefix 885 1234: the item
-- reference is the product id times ten plus the unit's place in its pack,
-- followed by the check digit.
Insert Into ProductUnits (Product, UnitName, UnitDesc, Fraction, BarCode, PurcPrice, LabourCost,
  SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
Select P.Id, K.UnitName,
       Case When K.Fraction = 1 Then Null Else N'บรรจุ ' + Convert(NVarChar(10), K.Fraction) + N' ' + S.UnitName End,
       K.Fraction,
       Case When D.PGroup = 'SERVICE' Then Null
            Else '8851234' + Right('00000' + Convert(VarChar(5), P.Id * 10 + K.Seq), 5)
                 + Convert(VarChar(1), (10 - (55 + 3 * (((P.Id * 10 + K.Seq) / 10000) % 10)
                                                 + ((P.Id * 10 + K.Seq) / 1000) % 10
                                                 + 3 * (((P.Id * 10 + K.Seq) / 100) % 10)
                                                 + ((P.Id * 10 + K.Seq) / 10) % 10
                                                 + 3 * ((P.Id * 10 + K.Seq) % 10)) % 10) % 10)
       End,
       Case When D.Price > 0 Then Round(D.Price * K.Fraction * 0.75, 2) Else Null End,
       0, 'Y',
       Case When D.PGroup <> 'SERVICE' And K.Fraction >= ST.Fraction Then 'Y' Else 'N' End,
       K.IsStock, K.IsSmall
From DemoProduct D
Inner Join Product P On P.Code = D.Code
Inner Join DemoPack K On K.Pack = D.Pack
Inner Join DemoPack S On S.Pack = D.Pack And S.IsSmall = 'Y'
Inner Join DemoPack ST On ST.Pack = D.Pack And ST.IsStock = 'Y'
Order By P.Id, K.Seq
GO

-- Every unit has a price of every price type, except the new product that
-- is still waiting for its prices.
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price)
Select P.Id, U.Id, T.Id,
       Case When U.Fraction = 1 Then Round(D.Price * K.Factor * F.Factor, 2)
            Else Round(D.Price * U.Fraction * K.Factor * F.Factor, 0) End
From DemoProduct D
Inner Join Product P On P.Code = D.Code
Inner Join ProductUnits U On U.Product = P.Id
Inner Join DemoPack K On K.Pack = D.Pack And K.UnitName = U.UnitName
Cross Join (
  Select '01' Code, 1.00 Factor From NullTable
  Union All Select '02', 0.90 From NullTable
  Union All Select '03', 0.95 From NullTable
  Union All Select '04', 0.85 From NullTable
) F
Inner Join Misc T On T.GroupCode = 'PRICETYPE' And T.Code = F.Code
Where D.Price > 0
Order By U.Id, T.Id
GO

Update Product Set MasterCode = 'Y', Remark = N'รหัสหลักของกลุ่มชาเขียวกรีนลีฟ ใช้จัดกลุ่มรายงานเท่านั้น' Where Code = 'D1000'
GO
Update Product Set Blocked = 'Y', Remark = N'เลิกจำหน่ายแล้ว ห้ามขาย' Where Code = 'S2099'
GO
-- Older rows may hold no flag at all; the checks read an empty flag as 'N'.
Update Product Set Blocked = Null, MasterCode = Null Where Code = 'T6030'
GO
Update Product Set Remark = N'สินค้าใหม่ รอตั้งราคาขาย' Where Code = 'H4099'
GO
Update Product Set Remark = N'ขายดี มีสต็อกหลายคลัง',
  ProductDesc = N'ชาเขียวพร้อมดื่มรสน้ำผึ้งมะนาว หวานน้อย บรรจุขวด PET 500 มล. ควรเก็บในที่เย็น',
  NetWeight = 0.5, GrossWeight = 0.53, Size_W = 6.5, Size_L = 6.5, Size_H = 21
Where Code = 'D1001'
GO
Update Product Set UseSerial = 'Y', Discount = '3%', PerDiscountOver = 10000,
  Remark = N'รับประกัน 1 ปี ตรวจหมายเลขเครื่องทุกครั้งที่ขาย', TechNicName1 = 'MK-CD18', TechNicName2 = N'18V Li-ion 2.0Ah',
  Size_W = 8, Size_L = 22, Size_H = 24, NetWeight = 1.6, GrossWeight = 2.4
Where Code = 'W7010'
GO
Update Product Set LotControl = 'Y', Remark = N'ควบคุมล็อตการผลิต ขายล็อตเก่าก่อน' Where Code In ('F3005', 'W7001')
GO
Update Product Set TaxCode = (Select Id From Tax Where Code = 'V0') Where Code In ('F3001', 'F3002', 'F3021')
GO
Update Product Set PriceIE = 'E' Where PGroup = (Select Id From Misc Where GroupCode = 'PGROUP' And Code = 'HARDWARE')
GO
Update Product Set TechNicName1 = 'CT-H16', Size_W = 3, Size_L = 13, Size_H = 33 Where Code = 'W7005'
GO
Update Product Set TechNicName1 = 'CT-P08', TechNicName2 = N'8 นิ้ว' Where Code = 'W7008'
GO
Update Product Set TechNicName1 = 'CT-W10', TechNicName2 = N'10 นิ้ว' Where Code = 'W7009'
GO
Update Product Set Size_W = 2.1, Size_L = 2.1, Size_H = 400 Where Code = 'W7021'
GO
Update Product Set Size_W = 45, Size_L = 12, Size_H = 110, TechNicName1 = 'MK-L5' Where Code = 'W7030'
GO
Update Product Set Size_W = 30, Size_L = 40, Size_H = 30 Where Code = 'M9003'
GO
-- A packing material no longer bought: the product search never lists it.
Update Product Set Blocked = 'Y' Where Code = 'M9099'
GO
Update Product Set Size_W = 21, Size_L = 29.7, Size_H = 5 Where Code In ('T6006', 'T6007')
GO
-- Carrier bags go out free with a sale.
Update Product Set ProductFree = 'Y' Where Code = 'M9001'
GO
-- What the program's version check would set on an existing database.
Update Product Set CheckSerialPurc = UseSerial, CheckSerialSale = UseSerial, CheckSerialStock = UseSerial,
  CheckSerialOnhand = UseSerial
GO

-- Pictures: two products in three have one; every fifth picture is a bitmap;
-- some have a second view. The showcase products are set by hand: H4002
-- names a second picture that was never taken, T6001 has a first and a
-- third but no second, D1002 has none at all.
Update Product Set Picture1 = Code + '.jpg', Picture1Desc = N'ภาพสินค้า' Where ProductType = 'P' And Id % 3 <> 0
GO
Update Product Set Picture1 = Code + '.bmp' Where Picture1 Is Not Null And Id % 5 = 0
GO
Update Product Set Picture2 = Code + '-2.jpg', Picture2Desc = N'บรรจุภัณฑ์สำหรับขายส่ง'
Where Picture1 Is Not Null And Id % 4 = 1
GO
Update Product Set Picture1 = 'D1001.jpg', Picture1Desc = N'ขวด 500 มล. ด้านหน้า',
  Picture2 = 'D1001-2.bmp', Picture2Desc = N'แพ็ค 12 ขวด',
  Picture3 = 'D1001-3.jpg', Picture3Desc = N'ฉลากและบาร์โค้ด'
Where Code = 'D1001'
GO
Update Product Set Picture1 = Null, Picture1Desc = Null, Picture2 = Null, Picture2Desc = Null,
  Picture3 = Null, Picture3Desc = Null
Where Code = 'D1002'
GO
Update Product Set Picture1 = 'H4002.jpg', Picture1Desc = N'ถุงเติม 500 มล.',
  Picture2 = 'H4002-2.jpg', Picture2Desc = N'ลัง 24 ถุง',
  Picture3 = 'H4002-3.bmp', Picture3Desc = N'ฉลากด้านหลัง'
Where Code = 'H4002'
GO
Update Product Set Picture1 = 'T6001.bmp', Picture1Desc = N'ปากกา 1 ด้าม', Picture2 = Null, Picture2Desc = Null,
  Picture3 = 'T6001-3.jpg', Picture3Desc = N'ฉลากบนกล่อง'
Where Code = 'T6001'
GO
Update Product Set Picture1 = 'W7010.jpg', Picture1Desc = N'ตัวเครื่อง',
  Picture2 = 'W7010-2.jpg', Picture2Desc = N'กล่องบรรจุ',
  Picture3 = 'W7010-3.bmp', Picture3Desc = N'ป้ายหมายเลขเครื่อง'
Where Code = 'W7010'
GO
Update Product Set Picture1 = 'S2001.jpg', Picture1Desc = N'ซอง 50 กรัม',
  Picture2 = 'S2001-2.jpg', Picture2Desc = N'แพ็ค 12 ซอง'
Where Code = 'S2001'
GO

-- ---------------------------------------------------------------- attributes

Insert Into ProdAttrGroup (Code, Description, ProductType) Values
  ('BRAND', N'ยี่ห้อ', 'P'),
  ('ORIGIN', N'ประเทศผู้ผลิต', 'P'),
  ('STORAGE', N'การเก็บรักษา', 'P'),
  ('SVCAREA', N'พื้นที่ให้บริการ', 'S')
GO
Create Table DemoAttr (
  Grp VarChar(10) Not Null,
  Code VarChar(10) Not Null,
  Description NVarChar(60) Not Null
)
GO
Insert Into DemoAttr Values
  ('BRAND', 'BAIBUA', N'ใบบัว'), ('BRAND', 'CHANGTHAI', N'ช่างไทย'), ('BRAND', 'COOLBLUE', N'คูลบลู'),
  ('BRAND', 'DAONUEA', N'ดาวเหนือ'), ('BRAND', 'DAOTHONG', N'ดาวทอง'), ('BRAND', 'FAHSAI', N'ฟ้าใส'),
  ('BRAND', 'FANKHAO', N'ฟันขาว'), ('BRAND', 'GLEAF', N'กรีนลีฟ'), ('BRAND', 'HOMLA', N'หอมละมุน'),
  ('BRAND', 'KHAOSAI', N'ขาวใส'), ('BRAND', 'KROBDEE', N'กรอบดี'), ('BRAND', 'LAMUNBB', N'ละมุนเบบี้'),
  ('BRAND', 'MAESI', N'แม่ศรี'), ('BRAND', 'MANKHONG', N'มั่นคง'), ('BRAND', 'MILKY', N'มิลค์กี้ฟาร์ม'),
  ('BRAND', 'NAWA', N'นาวา'), ('BRAND', 'NUMNUAN', N'นุ่มนวล'), ('BRAND', 'PALANG', N'พลังแรง'),
  ('BRAND', 'PHOMSUAY', N'ผมสวย'), ('BRAND', 'PHUPHA', N'ภูผา'), ('BRAND', 'POWER', N'พาวเวอร์พลัส'),
  ('BRAND', 'RUANG', N'รวงข้าว'), ('BRAND', 'SAISA', N'ใสสะอาด'), ('BRAND', 'SENSUAY', N'เส้นสวย'),
  ('BRAND', 'SUKJAI', N'สุขใจ'), ('BRAND', 'SUNNY', N'ซันนี่'), ('BRAND', 'THALE', N'ทะเลทอง'),
  ('BRAND', 'THONG', N'ทองคำ'),
  ('ORIGIN', 'CN', N'จีน'), ('ORIGIN', 'JP', N'ญี่ปุ่น'), ('ORIGIN', 'MY', N'มาเลเซีย'),
  ('ORIGIN', 'TH', N'ไทย'), ('ORIGIN', 'VN', N'เวียดนาม'),
  ('STORAGE', 'AMB', N'เก็บที่อุณหภูมิห้อง'), ('STORAGE', 'COOL', N'เก็บในที่เย็น'), ('STORAGE', 'DRY', N'เก็บในที่แห้ง'),
  ('SVCAREA', 'ALL', N'ทั่วประเทศ'), ('SVCAREA', 'BKK', N'กรุงเทพฯ และปริมณฑล')
GO
Insert Into ProdAttrCode (ProdAttrGroup, Code, Description)
Select G.Id, A.Code, A.Description
From DemoAttr A Inner Join ProdAttrGroup G On G.Code = A.Grp
Order By G.Id, A.Code
GO
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode)
Select P.Id, C.Id, G.Code + C.Code
From DemoProduct D
Inner Join Product P On P.Code = D.Code
Inner Join ProdAttrGroup G On G.Code = 'BRAND'
Inner Join ProdAttrCode C On C.ProdAttrGroup = G.Id And C.Code = D.Brand
Order By P.Id
GO
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode)
Select P.Id, C.Id, G.Code + C.Code
From DemoProduct D
Inner Join Product P On P.Code = D.Code
Inner Join ProdAttrGroup G On G.Code = 'ORIGIN'
Inner Join ProdAttrCode C On C.ProdAttrGroup = G.Id
  And C.Code = Case When D.Code In ('D1015', 'D1016') Then 'VN'
                    When D.Code = 'M9004' Then 'CN'
                    When D.Code = 'S2011' Then 'MY'
                    When D.Brand = 'PALANG' Then 'JP'
                    When D.PGroup = 'HARDWARE' And D.Pack In ('PCS', 'MACHINE', 'PCSONE', 'TAPE', 'TUBE24') Then 'CN'
                    Else 'TH' End
Where D.PGroup Not In ('SERVICE')
Order By P.Id
GO
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode)
Select P.Id, C.Id, G.Code + C.Code
From DemoProduct D
Inner Join Product P On P.Code = D.Code
Inner Join ProdAttrGroup G On G.Code = 'STORAGE'
Inner Join ProdAttrCode C On C.ProdAttrGroup = G.Id
  And C.Code = Case When D.Brand = 'MILKY' And D.PGroup = 'DRINK' Then 'COOL'
                    When D.PGroup In ('SNACK', 'FOOD') Then 'DRY'
                    Else 'AMB' End
Where D.PGroup In ('DRINK', 'SNACK', 'FOOD')
Order By P.Id
GO
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode)
Select P.Id, C.Id, G.Code + C.Code
From Product P
Inner Join ProdAttrGroup G On G.Code = 'SVCAREA'
Inner Join ProdAttrCode C On C.ProdAttrGroup = G.Id And C.Code = Case When P.Code = 'SV01' Then 'BKK' Else 'ALL' End
Where P.Code In ('SV01', 'SV02')
Order By P.Id
GO
-- The same choices by id, as the attribute screens keep them.
Insert Into productattr (Product, ProdAttrGroup, ProdAttrCode)
Select A.Product, C.ProdAttrGroup, C.Id
From ProductAttribute A Inner Join ProdAttrCode C On C.Id = A.ProdAttrCode
Order By A.Id
GO

Insert Into ProductInFo (Product, Misc, MemoDesc)
Select P.Id, M.Id, I.MemoDesc
From (
  Select 'W7005' Code, 'MATERIAL' Kind, N'เหล็กกล้าคาร์บอน ด้ามไฟเบอร์กลาส' MemoDesc From NullTable
  Union All Select 'W7005', 'MODEL', N'CT-H16' From NullTable
  Union All Select 'W7008', 'MATERIAL', N'เหล็กโครมวาเนเดียม' From NullTable
  Union All Select 'W7008', 'MODEL', N'CT-P08' From NullTable
  Union All Select 'W7009', 'MATERIAL', N'เหล็กโครมวาเนเดียม' From NullTable
  Union All Select 'W7009', 'MODEL', N'CT-W10' From NullTable
  Union All Select 'W7010', 'MATERIAL', N'ตัวเครื่องพลาสติก ABS' From NullTable
  Union All Select 'W7010', 'MODEL', N'MK-CD18' From NullTable
  Union All Select 'W7012', 'MATERIAL', N'ตลับพลาสติก ใบเหล็ก' From NullTable
  Union All Select 'W7012', 'MODEL', N'MK-T5' From NullTable
  Union All Select 'W7030', 'MATERIAL', N'อลูมิเนียม' From NullTable
  Union All Select 'W7030', 'MODEL', N'MK-L5' From NullTable
) I
Inner Join Product P On P.Code = I.Code
Inner Join Misc M On M.GroupCode = 'PRODINFO' And M.Code = I.Kind
Order By P.Id, M.Id
GO

-- ---------------------------------------------------------------- customer prices and promotions

-- A customer's own price for a unit. A price of 0 keeps the list price and
-- gives only the discount; Quantity is the least the price holds for.
Create Table DemoCustPrice (
  Customer VarChar(20) Not Null,
  Product VarChar(30) Not Null,
  UnitName NVarChar(20) Not Null,
  Price Decimal(18,4) Null,
  Quantity Int Null,
  Discount VarChar(30) Null
)
GO
Insert Into DemoCustPrice Values
  ('C001', 'D1001', N'แพ็ค', 220.00, 1, Null),
  ('C001', 'D1001', N'ขวด', 19.00, 1, Null),
  ('C001', 'D1002', N'ขวด', 0, 1, '5%'),
  ('C001', 'S2001', N'แพ็ค', 225.00, 1, Null),
  ('C001', 'F3005', N'ลัง', 470.00, 1, '2%'),
  ('C002', 'D1001', N'ลัง', 430.00, 10, Null),
  ('C002', 'D1003', N'แพ็ค', 75.00, 20, Null),
  ('C003', 'W7010', N'เครื่อง', 2290.00, 1, Null),
  ('C005', 'D1001', N'ลัง', 0, 1, '3%+2%'),
  ('C013', 'W7003', N'กล่อง', 65.00, 5, Null),
  ('C013', 'W7016', N'แกลลอน', 0, 1, '10%'),
  ('C013', 'W7024', N'ถุง', 155.00, 50, Null),
  ('C019', 'F3003', N'ลัง', 350.00, 1, Null)
GO
Insert Into customerproductprice (Customer, Product, ProductUnits, Price, Quantity, Discount)
Select C.Id, P.Id, U.Id, D.Price, D.Quantity, D.Discount
From DemoCustPrice D
Inner Join Customer C On C.Code = D.Customer
Inner Join Product P On P.Code = D.Product
Inner Join ProductUnits U On U.Product = P.Id And U.UnitName = D.UnitName
Order By C.Id, P.Id, U.Id
GO
-- The wholesale customer buys every drink by the case at 2% under the
-- wholesale list.
Insert Into customerproductprice (Customer, Product, ProductUnits, Price, Quantity, Discount)
Select C.Id, P.Id, U.Id, Round(PP.Price * 0.98, 0), 1, Null
From Product P
Inner Join ProductUnits U On U.Product = P.Id And U.UnitName = N'ลัง'
Inner Join ProductPrice PP On PP.ProductUnits = U.Id
Inner Join Misc T On T.Id = PP.PriceType And T.GroupCode = 'PRICETYPE' And T.Code = '02'
Inner Join Misc G On G.Id = P.PGroup And G.Code = 'DRINK'
Inner Join Customer C On C.Code = 'C002'
Where P.MasterCode = 'N'
  And Not Exists (Select 1 From customerproductprice X Where X.Customer = C.Id And X.ProductUnits = U.Id)
Order By P.Id
GO

-- Promotion lines, by days from today (start and stop days both count).
-- An empty customer is every customer (stored as 0).
Create Table DemoPromotion (
  Product VarChar(30) Not Null,
  UnitName NVarChar(20) Not Null,
  PriceType VarChar(20) Not Null,
  Customer VarChar(20) Null,
  FromDay Int Not Null,
  ToDay Int Not Null,
  Price Decimal(18,4) Null,
  DiscPercent VarChar(30) Null
)
GO
Insert Into DemoPromotion Values
  ('D1001', N'แพ็ค', '01', 'C001', -2, 12, 215.00, Null),
  ('D1001', N'แพ็ค', '01', Null, -40, -10, 225.00, Null),
  ('D1001', N'แพ็ค', '01', Null, 5, 20, 219.00, Null),
  ('D1001', N'แพ็ค', '01', Null, -1, 6, 228.00, Null),
  ('S2001', N'ซอง', '01', Null, -7, 7, 18.00, Null),
  ('S2001', N'แพ็ค', '01', Null, -7, 7, Null, '10'),
  ('P5001', N'ก้อน', '03', Null, -3, 30, 12.00, Null),
  ('F3013', N'แพ็ค', '02', 'C002', 0, 0, 58.00, '2%')
GO
Insert Into promotion_dt (Product, ProductUnits, PriceType, Customer, StartDate, StopDate, Price, DiscPercent)
Select P.Id, U.Id, T.Id, Coalesce(C.Id, 0),
       DateAdd(day, D.FromDay, DateAdd(day, DateDiff(day, 0, GetDate()), 0)),
       DateAdd(day, D.ToDay, DateAdd(day, DateDiff(day, 0, GetDate()), 0)),
       D.Price, D.DiscPercent
From DemoPromotion D
Inner Join Product P On P.Code = D.Product
Inner Join ProductUnits U On U.Product = P.Id And U.UnitName = D.UnitName
Inner Join Misc T On T.GroupCode = 'PRICETYPE' And T.Code = D.PriceType
Left Join Customer C On C.Code = D.Customer
Order By P.Id, D.FromDay
GO

-- ---------------------------------------------------------------- stock

-- Quantities are in small units. The regular products get arithmetic stock
-- from their id (s) and stock-unit fraction (F): whole stock units with a
-- loose remainder for some, a few negative and zero rows, small lots in the
-- van, the returns store and the shelf locations, and last year's balance.
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity)
Select P.Id, U.Id, W.Id, Year(GetDate()) - Y.Back,
       Case W.Code
         When 'MAIN' Then
           Case When Y.Back = 1 Then U.Fraction * ((P.Id * 29) % 50 + 5)
                Else U.Fraction * ((P.Id * 37) % 90 + 10) + Case When P.Id % 3 = 0 And U.Fraction > 1 Then (P.Id * 7) % U.Fraction Else 0 End
           End
         When 'SHOP' Then
           Case When P.Id % 23 = 0 Then -(U.Fraction * (P.Id % 3 + 1)) - Case When U.Fraction > 1 Then 1 Else 0 End
                Else U.Fraction * ((P.Id * 13) % 12) + Case When P.Id % 5 = 0 And U.Fraction > 1 Then (P.Id * 3) % U.Fraction Else 0 End
           End
         When 'BR-CM' Then U.Fraction * ((P.Id * 11) % 30) - Case When P.Id % 29 = 1 Then U.Fraction * 40 Else 0 End
         When 'BR-KK' Then U.Fraction * ((P.Id * 17) % 25)
         When 'BR-HY' Then U.Fraction * ((P.Id * 19) % 20) + Case When U.Fraction > 1 Then P.Id % U.Fraction Else 0 End
         When 'VAN1' Then P.Id % 9 + 1
         When 'RMA' Then P.Id % 4 + 1
         Else U.Fraction * 5
       End
From DemoProduct D
Inner Join Product P On P.Code = D.Code
Inner Join ProductUnits U On U.Product = P.Id And U.StockUnitFlag = 'Y'
Cross Join (Select 0 Back From NullTable Union All Select 1 From NullTable) Y
Inner Join Warehouse W On
     (W.Code = 'MAIN')
  Or (Y.Back = 0 And W.Code = 'SHOP' And P.Id % 2 = 0)
  Or (Y.Back = 0 And W.Code = 'BR-CM' And P.Id % 3 = 1)
  Or (Y.Back = 0 And W.Code = 'BR-KK' And P.Id % 4 = 2)
  Or (Y.Back = 0 And W.Code = 'BR-HY' And P.Id % 5 = 3)
  Or (Y.Back = 0 And W.Code = 'VAN1' And P.Id % 7 = 0)
  Or (Y.Back = 0 And W.Code = 'RMA' And P.Id % 10 = 0)
  Or (Y.Back = 0 And W.Code = 'A-01-01' And P.Id % 6 = 0)
Where D.Showcase = 'N' And D.Price > 0 And P.ProductType <> 'S' And Coalesce(P.MasterCode, 'N') = 'N'
Order By P.Id, Y.Back, W.Id
GO

-- The showcase products' stock, by hand. D1001 (small unit ขวด, stock unit
-- แพ็ค of 12): MAIN holds 100 packs and 30 loose bottles booked under the
-- bottle, i.e. 102 แพ็ค 6 ขวด; SHOP 30 bottles = 2 แพ็ค 6 ขวด; BR-CM is
-- 18 bottles short; BR-KK has a zero row; the van 6 bottles; the returns
-- store 2 packs.
Create Table DemoStock (
  Product VarChar(30) Not Null,
  Warehouse VarChar(20) Not Null,
  UnitName NVarChar(20) Not Null,
  YearsBack Int Not Null,
  Quantity Decimal(18,4) Not Null
)
GO
Insert Into DemoStock Values
  ('D1001', 'MAIN', N'แพ็ค', 0, 1200),
  ('D1001', 'MAIN', N'ขวด', 0, 30),
  ('D1001', 'SHOP', N'แพ็ค', 0, 30),
  ('D1001', 'BR-CM', N'แพ็ค', 0, -18),
  ('D1001', 'BR-KK', N'แพ็ค', 0, 0),
  ('D1001', 'VAN1', N'ขวด', 0, 6),
  ('D1001', 'RMA', N'แพ็ค', 0, 24),
  ('D1001', 'MAIN', N'แพ็ค', 1, 960),
  ('D1001', 'BR-CM', N'แพ็ค', 1, 144),
  ('T6001', 'MAIN', N'ด้าม', 0, 1250),
  ('T6001', 'SHOP', N'ด้าม', 0, 37),
  ('T6001', 'BR-HY', N'ด้าม', 0, -3),
  ('T6001', 'A-01-02', N'ด้าม', 0, 0),
  ('W7003', 'MAIN', N'กล่อง', 0, 2350),
  ('W7003', 'SHOP', N'ตัว', 0, 75),
  ('W7003', 'BR-KK', N'กล่อง', 0, -100),
  ('W7014', 'MAIN', N'ม้วน', 0, 1530),
  ('W7014', 'SHOP', N'ม้วน', 0, -20),
  ('W7014', 'BR-HY', N'ม้วน', 0, 100.5)
GO
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity)
Select P.Id, U.Id, W.Id, Year(GetDate()) - S.YearsBack, S.Quantity
From DemoStock S
Inner Join Product P On P.Code = S.Product
Inner Join ProductUnits U On U.Product = P.Id And U.UnitName = S.UnitName
Inner Join Warehouse W On W.Code = S.Warehouse
Order By P.Id, S.YearsBack, W.Id, U.Id
GO
-- Products that are short somewhere may go below zero.
Update Product Set Negative = 'Y' Where Id In (Select Product From productonhand Where Quantity < 0)
GO

-- Lots: one expired three weeks ago, one expiring today, two still good and
-- one that never expires.
Insert Into LotNo (Code, Description, ExpiredDate, HasExpired)
Select 'LOT-A001', N'ซอสปรุงรส ล็อตเก่า (หมดอายุแล้ว)', DateAdd(day, -21, DateAdd(day, DateDiff(day, 0, GetDate()), 0)), 'Y' From NullTable
Union All Select 'LOT-A002', N'ซอสปรุงรส ล็อตปัจจุบัน', DateAdd(day, 200, DateAdd(day, DateDiff(day, 0, GetDate()), 0)), 'Y' From NullTable
Union All Select 'LOT-A003', N'ซอสปรุงรส ล็อตใหม่', DateAdd(day, 400, DateAdd(day, DateDiff(day, 0, GetDate()), 0)), 'Y' From NullTable
Union All Select 'LOT-A004', N'ซอสปรุงรส ล็อตหมดอายุวันนี้', DateAdd(day, DateDiff(day, 0, GetDate()), 0), 'Y' From NullTable
Union All Select 'LOT-N001', N'ตะปู ล็อตไม่มีวันหมดอายุ', Null, 'N' From NullTable
GO
Insert Into LotOnHand (Product, LotNo, Warehouse, BalanceYear, Quantity)
Select P.Id, L.Id, W.Id, Year(GetDate()) - X.YearsBack, X.Quantity
From (
  Select 'F3005' Product, 'LOT-A001' Lot, 'MAIN' Wh, 0 YearsBack, 12 Quantity From NullTable
  Union All Select 'F3005', 'LOT-A002', 'MAIN', 0, 120 From NullTable
  Union All Select 'F3005', 'LOT-A002', 'MAIN', 1, 36 From NullTable
  Union All Select 'F3005', 'LOT-A003', 'SHOP', 0, 24 From NullTable
  Union All Select 'F3005', 'LOT-A004', 'BR-CM', 0, 6 From NullTable
  Union All Select 'W7001', 'LOT-N001', 'MAIN', 0, 50 From NullTable
) X
Inner Join Product P On P.Code = X.Product
Inner Join LotNo L On L.Code = X.Lot
Inner Join Warehouse W On W.Code = X.Wh
Order By L.Id, X.YearsBack
GO

-- The drill's serial numbers: five in stock, one sold.
Insert Into SerialNo (Product, Serial, OnHand)
Select P.Id, S.Serial, S.OnHand
From (
  Select 'MK18-240101' Serial, 'Y' OnHand From NullTable
  Union All Select 'MK18-240102', 'Y' From NullTable
  Union All Select 'MK18-240103', 'Y' From NullTable
  Union All Select 'MK18-240104', 'Y' From NullTable
  Union All Select 'MK18-240105', 'Y' From NullTable
  Union All Select 'MK18-240106', 'N' From NullTable
) S
Inner Join Product P On P.Code = 'W7010'
Order By S.Serial
GO

-- Each product's stock unit is bought from its group's vendor under the
-- vendor's own item code.
Insert Into PartSource (Product, ProductUnits, Vendor, PurchaseCode, PurchaseName, Price, DiscountStr,
  LastPrice, LastDocCode, LastDocNo, LastDate)
Select P.Id, U.Id, V.Id, V.Code + '-' + P.Code, D.EngName, U.PurcPrice, Null, U.PurcPrice, 'MR', Null, Null
From DemoProduct D
Inner Join Product P On P.Code = D.Code
Inner Join ProductUnits U On U.Product = P.Id And U.StockUnitFlag = 'Y'
Inner Join DemoGroup G On G.PGroup = D.PGroup
Inner Join Vendor V On V.Code = G.Vendor
Where P.ProductType <> 'S' And Coalesce(P.MasterCode, 'N') = 'N' And D.Price > 0
Order By P.Id
GO

-- ---------------------------------------------------------------- documents

-- Document headers and lines by number. Days counts back from today; a
-- line without a price takes the unit's retail price.
Create Table DemoDoc (
  Kind VarChar(4) Not Null,
  DocNo VarChar(30) Not Null,
  Days Int Not Null,
  Party VarChar(20) Not Null,
  Warehouse VarChar(20) Null,
  Delflag Char(1) Not Null,
  Clear Char(1) Not Null,
  RefNo VarChar(30) Null,
  Remark NVarChar(255) Null
)
GO
Create Table DemoDocLine (
  Kind VarChar(4) Not Null,
  DocNo VarChar(30) Not Null,
  Line Int Not Null,
  Product VarChar(30) Not Null,
  UnitName NVarChar(20) Not Null,
  Quantity Decimal(18,4) Not Null,
  Price Decimal(18,4) Null,
  Discount VarChar(30) Null,
  DiscPercent Decimal(9,2) Null
)
GO
Insert Into DemoDoc Values
  ('PO', 'PO0001', 5, 'V001', 'MAIN', 'N', 'N', Null, N'สั่งเพิ่มสำหรับเทศกาลปีใหม่'),
  ('PO', 'PO0002', 40, 'V006', 'MAIN', 'N', 'Y', Null, Null),
  ('MR', 'MR0001', 45, 'V001', 'MAIN', 'N', 'N', Null, Null),
  ('MR', 'MR0002', 12, 'V001', 'MAIN', 'N', 'N', Null, N'รับตามใบสั่งซื้อ'),
  ('MR', 'MR0003', 2, 'V001', 'MAIN', 'Y', 'N', Null, N'ยกเลิก: ป้อนราคาผิด'),
  ('MR', 'MR0004', 20, 'V007', 'MAIN', 'N', 'N', Null, Null),
  ('SO', 'SO0001', 6, 'C002', 'MAIN', 'N', 'N', Null, N'ทยอยส่ง 2 รอบ'),
  ('SO', 'SO0002', 20, 'C001', 'MAIN', 'N', 'Y', Null, Null),
  ('SO', 'SO0003', 9, 'C002', 'MAIN', 'Y', 'N', Null, N'ยกเลิก: ลูกค้าเปลี่ยนไปสั่งทางโทรศัพท์'),
  ('SO', 'SO0004', 2, 'C001', 'MAIN', 'Y', 'N', Null, N'ยกเลิก: เปิดซ้ำก่อนป้อนรายการ'),
  ('IV', 'IV0001', 40, 'C001', 'MAIN', 'N', 'Y', Null, Null),
  ('IV', 'IV0002', 15, 'C001', 'SHOP', 'N', 'N', Null, Null),
  ('IV', 'IV0003', 4, 'C002', 'MAIN', 'N', 'N', 'SO0001', N'ส่งรอบแรก'),
  ('IV', 'IV0004', 7, 'C003', 'MAIN', 'Y', 'N', Null, N'ยกเลิก: ลูกค้าขอเปลี่ยนรายการ'),
  ('IV', 'IV0005', 3, 'C013', 'MAIN', 'N', 'N', Null, Null),
  ('IV', 'IV0006', 1, 'C005', 'BR-HY', 'N', 'N', Null, Null),
  ('IV', 'IV0007', 1, 'C002', 'MAIN', 'Y', 'N', Null, N'ยกเลิก: เปิดผิดลูกค้าก่อนป้อนรายการ'),
  ('POS', 'PS0001', 1, 'CASH', 'SHOP', 'N', 'N', Null, Null),
  ('POS', 'PS0002', 1, 'CASH', 'SHOP', 'Y', 'N', Null, N'ยกเลิกบิล: ลูกค้าเปลี่ยนใจ'),
  ('POS', 'PS0003', 3, 'C001', 'SHOP', 'N', 'N', Null, Null),
  ('POSB', 'PB0001', 2, 'CASH', 'SHOP', 'N', 'N', Null, Null),
  ('POSB', 'PB0002', 2, 'CASH', 'SHOP', 'Y', 'N', Null, N'ยกเลิกบิล'),
  ('POSB', 'PB0003', 9, 'C001', 'SHOP', 'N', 'N', Null, Null)
GO
Insert Into DemoDocLine Values
  ('PO', 'PO0001', 1, 'D1001', N'ลัง', 50, 340.00, Null, Null),
  ('PO', 'PO0001', 2, 'D1002', N'ลัง', 30, 340.00, Null, Null),
  ('PO', 'PO0002', 1, 'T6001', N'ลัง', 10, 540.00, Null, Null),
  ('MR', 'MR0001', 1, 'D1001', N'แพ็ค', 100, 180.00, Null, Null),
  ('MR', 'MR0002', 1, 'D1001', N'แพ็ค', 120, 186.00, Null, Null),
  ('MR', 'MR0002', 2, 'D1002', N'แพ็ค', 60, 186.00, Null, Null),
  ('MR', 'MR0003', 1, 'D1001', N'แพ็ค', 100, 250.00, Null, Null),
  ('MR', 'MR0004', 1, 'W7010', N'เครื่อง', 6, 1790.00, Null, Null),
  ('MR', 'MR0004', 2, 'W7003', N'กล่อง', 30, 52.00, Null, Null),
  ('SO', 'SO0001', 1, 'D1001', N'ลัง', 20, 430.00, Null, Null),
  ('SO', 'SO0001', 2, 'D1003', N'แพ็ค', 50, 75.00, Null, Null),
  ('SO', 'SO0002', 1, 'D1001', N'แพ็ค', 10, 220.00, Null, Null),
  ('SO', 'SO0003', 1, 'D1002', N'ลัง', 5, 430.00, Null, Null),
  ('IV', 'IV0001', 1, 'D1001', N'แพ็ค', 10, 220.00, Null, Null),
  ('IV', 'IV0001', 2, 'S2001', N'แพ็ค', 5, 225.00, Null, Null),
  ('IV', 'IV0001', 3, 'F3005', N'ลัง', 1, 470.00, '2%', 2),
  ('IV', 'IV0002', 1, 'D1001', N'ขวด', 24, 20.00, '5%', 5),
  ('IV', 'IV0002', 2, 'D1002', N'แพ็ค', 5, Null, Null, Null),
  ('IV', 'IV0003', 1, 'D1001', N'ลัง', 10, 430.00, Null, Null),
  ('IV', 'IV0003', 2, 'D1003', N'แพ็ค', 20, 75.00, Null, Null),
  ('IV', 'IV0004', 1, 'D1001', N'แพ็ค', 3, Null, Null, Null),
  ('IV', 'IV0005', 1, 'W7003', N'กล่อง', 20, 65.00, Null, Null),
  ('IV', 'IV0005', 2, 'W7010', N'เครื่อง', 1, 2290.00, Null, Null),
  ('IV', 'IV0005', 3, 'W7014', N'เมตร', 35, Null, Null, Null),
  ('IV', 'IV0006', 1, 'D1001', N'ลัง', 4, Null, '3%+2%', 4.94),
  ('IV', 'IV0006', 2, 'D1017', N'ลัง', 6, Null, Null, Null),
  ('POS', 'PS0001', 1, 'D1001', N'ขวด', 2, Null, Null, Null),
  ('POS', 'PS0001', 2, 'S2001', N'ซอง', 3, 18.00, Null, Null),
  ('POS', 'PS0002', 1, 'D1001', N'ขวด', 1, Null, Null, Null),
  ('POS', 'PS0003', 1, 'D1001', N'แพ็ค', 1, 215.00, Null, Null),
  ('POSB', 'PB0001', 1, 'D1001', N'ขวด', 6, Null, Null, Null),
  ('POSB', 'PB0001', 2, 'T6001', N'ด้าม', 10, Null, Null, Null),
  ('POSB', 'PB0002', 1, 'D1003', N'ขวด', 12, Null, Null, Null),
  ('POSB', 'PB0003', 1, 'D1001', N'แพ็ค', 2, Null, Null, Null)
GO

-- Daily business around the showcase documents, spread over the last months:
-- credit invoices for most customers, cash bills at the shop front and the
-- regular deliveries of every vendor.
Create Table DemoNumber (N Int Not Null Primary Key)
GO
Insert Into DemoNumber (N)
Select A.N * 10 + B.N + 1
From (Select 0 N From NullTable Union All Select 1 From NullTable Union All Select 2 From NullTable
      Union All Select 3 From NullTable Union All Select 4 From NullTable Union All Select 5 From NullTable
      Union All Select 6 From NullTable Union All Select 7 From NullTable Union All Select 8 From NullTable
      Union All Select 9 From NullTable) A
Cross Join (Select 0 N From NullTable Union All Select 1 From NullTable Union All Select 2 From NullTable
      Union All Select 3 From NullTable Union All Select 4 From NullTable Union All Select 5 From NullTable
      Union All Select 6 From NullTable Union All Select 7 From NullTable Union All Select 8 From NullTable
      Union All Select 9 From NullTable) B
GO
Insert Into DemoDoc (Kind, DocNo, Days, Party, Warehouse, Delflag, Clear, RefNo, Remark)
Select 'IV', 'IV' + Right('0000' + Convert(VarChar(4), 100 + N), 4), (N * 11) % 150 + 1,
       'C' + Right('000' + Convert(VarChar(3), 3 + (N * 7) % 25), 3), 'MAIN',
       Case When N = 13 Then 'Y' Else 'N' End, Case When (N * 11) % 150 > 60 Then 'Y' Else 'N' End, Null,
       Case When N = 13 Then N'ยกเลิก: ออกใบแจ้งหนี้ซ้ำ' Else Null End
From DemoNumber Where N <= 40
Union All
Select 'POS', 'PS' + Right('0000' + Convert(VarChar(4), 100 + N), 4), (N * 5) % 60,
       Case When N % 6 = 0 Then 'C' + Right('000' + Convert(VarChar(3), N / 6), 3) Else 'CASH' End, 'SHOP',
       Case When N = 17 Then 'Y' Else 'N' End, 'N', Null, Null
From DemoNumber Where N <= 30
Union All
Select 'POSB', 'PB' + Right('0000' + Convert(VarChar(4), 100 + N), 4), (N * 3) % 45 + 1, 'CASH', 'SHOP', 'N', 'N', Null, Null
From DemoNumber Where N <= 15
Union All
Select 'MR', 'MR1' + Right('000' + Convert(VarChar(3), (Select Count(*) From DemoGroup X Where X.PGroup <= G.PGroup)), 3),
       G.LastDelivery, G.Vendor, 'MAIN', 'N', 'N', G.PGroup, N'รับสินค้าประจำรอบ'
From DemoGroup G Where G.PGroup Not In ('SERVICE', 'GIFT')
GO
Insert Into DemoDocLine (Kind, DocNo, Line, Product, UnitName, Quantity, Price, Discount, DiscPercent)
Select H.Kind, H.DocNo, L.N, P.Code, U.UnitName,
       Case When H.Kind = 'IV' Then (H.Days + L.N) % 5 + 1 Else (H.Days + L.N) % 3 + 1 End, Null, Null, Null
From DemoDoc H
Inner Join DemoNumber L On L.N <= Case When H.Kind = 'IV' Then 3 Else 2 End
Inner Join Product P On P.Id = (Convert(Int, Right(H.DocNo, 3)) * 37 + L.N * 53) % 200 + 1
Inner Join ProductUnits U On U.Product = P.Id
  And ((H.Kind = 'IV' And U.StockUnitFlag = 'Y') Or (H.Kind <> 'IV' And U.SmallUnitFlag = 'Y'))
Inner Join ProductPrice PP On PP.ProductUnits = U.Id And PP.PriceType = 19
Where H.Kind In ('IV', 'POS', 'POSB') And Convert(Int, Right(H.DocNo, 3)) > 100
  And P.ProductType = 'P' And P.MasterCode = 'N' And P.Blocked = 'N'
Order By H.DocNo, L.N
GO
Insert Into DemoDocLine (Kind, DocNo, Line, Product, UnitName, Quantity, Price, Discount, DiscPercent)
Select 'MR', H.DocNo, P.Id, D.Code, U.UnitName, 10 + P.Id % 20, U.PurcPrice, Null, Null
From DemoDoc H
Inner Join DemoProduct D On D.PGroup = H.RefNo
Inner Join Product P On P.Code = D.Code
Inner Join ProductUnits U On U.Product = P.Id And U.StockUnitFlag = 'Y'
Where H.Kind = 'MR' And H.RefNo Is Not Null And D.Price > 0 And Coalesce(P.MasterCode, 'N') = 'N'
Order By H.DocNo, P.Id
GO

-- Documents are dated in office hours of their day.
Insert Into PoHd (PoNo, PoDate, Vendor, Remark, Delflag, Clear)
Select D.DocNo, DateAdd(minute, 540 + (D.Days * 37) % 480, DateAdd(day, -D.Days, DateAdd(day, DateDiff(day, 0, GetDate()), 0))),
       V.Id, D.Remark, D.Delflag, D.Clear
From DemoDoc D Inner Join Vendor V On V.Code = D.Party
Where D.Kind = 'PO' Order By D.DocNo
GO
Insert Into PoDt (PoHd, Product, ProductUnits, Quantity, Fraction, Price, Total, Clear)
Select H.Id, P.Id, U.Id, L.Quantity, U.Fraction, L.Price, Round(L.Quantity * L.Price, 2), H.Clear
From DemoDocLine L
Inner Join PoHd H On H.PoNo = L.DocNo
Inner Join Product P On P.Code = L.Product
Inner Join ProductUnits U On U.Product = P.Id And U.UnitName = L.UnitName
Where L.Kind = 'PO' Order By H.Id, L.Line
GO
Insert Into MrHd (MrNo, MrDate, Vendor, Warehouse, Remark, Delflag)
Select D.DocNo, DateAdd(minute, 540 + (D.Days * 37) % 480, DateAdd(day, -D.Days, DateAdd(day, DateDiff(day, 0, GetDate()), 0))),
       V.Id, W.Id, D.Remark, D.Delflag
From DemoDoc D Inner Join Vendor V On V.Code = D.Party Left Join Warehouse W On W.Code = D.Warehouse
Where D.Kind = 'MR' Order By D.Days Desc, D.DocNo
GO
Insert Into MrDt (MrHd, Product, ProductUnits, PoDt, Quantity, Fraction, Price, Total)
Select H.Id, P.Id, U.Id, Null, L.Quantity, U.Fraction, L.Price, Round(L.Quantity * L.Price, 2)
From DemoDocLine L
Inner Join MrHd H On H.MrNo = L.DocNo
Inner Join Product P On P.Code = L.Product
Inner Join ProductUnits U On U.Product = P.Id And U.UnitName = L.UnitName
Where L.Kind = 'MR' Order By H.Id, L.Line
GO
-- The vendor's last price is that of its latest receipt that stands.
Update PartSource Set
  LastPrice = (Select Top 1 D.Price From MrDt D Inner Join MrHd H On H.Id = D.MrHd
               Where D.ProductUnits = PartSource.ProductUnits And H.Vendor = PartSource.Vendor And H.Delflag <> 'Y'
               Order By H.MrDate Desc),
  LastDocNo = (Select Top 1 H.MrNo From MrDt D Inner Join MrHd H On H.Id = D.MrHd
               Where D.ProductUnits = PartSource.ProductUnits And H.Vendor = PartSource.Vendor And H.Delflag <> 'Y'
               Order By H.MrDate Desc),
  LastDate = (Select Top 1 H.MrDate From MrDt D Inner Join MrHd H On H.Id = D.MrHd
              Where D.ProductUnits = PartSource.ProductUnits And H.Vendor = PartSource.Vendor And H.Delflag <> 'Y'
              Order By H.MrDate Desc)
GO

Insert Into SoHd (SoNo, SoDate, Customer, Salesman, Transportation, Remark, Delflag, DelRemark, Clear)
Select D.DocNo, DateAdd(minute, 540 + (D.Days * 37) % 480, DateAdd(day, -D.Days, DateAdd(day, DateDiff(day, 0, GetDate()), 0))),
       C.Id, C.Salesman, T.Id, Case When D.Delflag = 'Y' Then Null Else D.Remark End, D.Delflag,
       Case When D.Delflag = 'Y' Then D.Remark Else Null End, D.Clear
From DemoDoc D
Inner Join Customer C On C.Code = D.Party
Left Join Misc T On T.GroupCode = 'TRANSPORT' And T.Code = 'OWN'
Where D.Kind = 'SO' Order By D.DocNo
GO
Insert Into SoDt (SoHd, Product, ProductUnits, Quantity, Fraction, Price, Discount, Total, Clear)
Select H.Id, P.Id, U.Id, L.Quantity, U.Fraction, L.Price, L.Discount, Round(L.Quantity * L.Price, 2), H.Clear
From DemoDocLine L
Inner Join SoHd H On H.SoNo = L.DocNo
Inner Join Product P On P.Code = L.Product
Inner Join ProductUnits U On U.Product = P.Id And U.UnitName = L.UnitName
Where L.Kind = 'SO' Order By H.Id, L.Line
GO
Insert Into SoShip (SoHd, ShipName, Address1, Address2, Address3, Province, ZipCode, Transportation)
Select H.Id, C.Name, C.Address1, C.Address2, C.Address3, C.Province, C.ZipCode, H.Transportation
From SoHd H Inner Join Customer C On C.Id = H.Customer Order By H.Id
GO

Insert Into IvHd (IvNo, IvDate, IvType, Customer, Salesman, Warehouse, Transportation, SoHd, NotCutStock,
  Remark, Delflag, DelRemark, Clear)
Select D.DocNo, DateAdd(minute, 540 + (D.Days * 37) % 480, DateAdd(day, -D.Days, DateAdd(day, DateDiff(day, 0, GetDate()), 0))),
       Case When S.Id Is Null Then 'N' Else 'B' End, C.Id, C.Salesman, W.Id, T.Id, S.Id, 'N',
       Case When D.Delflag = 'Y' Then Null Else D.Remark End, D.Delflag,
       Case When D.Delflag = 'Y' Then D.Remark Else Null End, D.Clear
From DemoDoc D
Inner Join Customer C On C.Code = D.Party
Left Join Warehouse W On W.Code = D.Warehouse
Left Join Misc T On T.GroupCode = 'TRANSPORT' And T.Code = Case When D.Days % 3 = 0 Then 'PICKUP' Else 'OWN' End
Left Join SoHd S On S.SoNo = D.RefNo
Where D.Kind = 'IV' Order By D.Days Desc, D.DocNo
GO
Insert Into IvDt (IvHd, Product, ProductUnits, SoDt, IvDtB, Quantity, Fraction, Price, Discount, Total)
Select H.Id, P.Id, U.Id,
       (Select Max(SD.Id) From SoDt SD Where SD.SoHd = H.SoHd And SD.ProductUnits = U.Id), Null,
       L.Quantity, U.Fraction, Coalesce(L.Price, PP.Price), L.Discount,
       Round(L.Quantity * Coalesce(L.Price, PP.Price) * (100 - Coalesce(L.DiscPercent, 0)) / 100.0, 2)
From DemoDocLine L
Inner Join IvHd H On H.IvNo = L.DocNo
Inner Join Product P On P.Code = L.Product
Inner Join ProductUnits U On U.Product = P.Id And U.UnitName = L.UnitName
Left Join ProductPrice PP On PP.ProductUnits = U.Id And PP.PriceType = 19
Where L.Kind = 'IV' Order By H.Id, L.Line
GO
Insert Into IvShip (IvHd, ShipName, Address1, Address2, Address3, Province, ZipCode, Transportation)
Select H.Id, C.Name, C.Address1, C.Address2, C.Address3, C.Province, C.ZipCode, H.Transportation
From IvHd H Inner Join Customer C On C.Id = H.Customer Order By H.Id
GO

Insert Into PosHd (PosNo, PosDate, Customer, Delflag)
Select D.DocNo, DateAdd(minute, 540 + (D.Days * 53 + Convert(Int, Right(D.DocNo, 3)) * 17) % 600,
                        DateAdd(day, -D.Days, DateAdd(day, DateDiff(day, 0, GetDate()), 0))),
       C.Id, D.Delflag
From DemoDoc D Inner Join Customer C On C.Code = D.Party
Where D.Kind = 'POS' Order By D.Days Desc, D.DocNo
GO
Insert Into PosDt (PosHd, Product, ProductUnits, Quantity, Price, Total)
Select H.Id, P.Id, U.Id, L.Quantity, Coalesce(L.Price, PP.Price), Round(L.Quantity * Coalesce(L.Price, PP.Price), 2)
From DemoDocLine L
Inner Join PosHd H On H.PosNo = L.DocNo
Inner Join Product P On P.Code = L.Product
Inner Join ProductUnits U On U.Product = P.Id And U.UnitName = L.UnitName
Left Join ProductPrice PP On PP.ProductUnits = U.Id And PP.PriceType = 19
Where L.Kind = 'POS' Order By H.Id, L.Line
GO
Insert Into PosHeader (PosNo, PosDate, Customer, Delflag)
Select D.DocNo, DateAdd(minute, 540 + (D.Days * 53 + Convert(Int, Right(D.DocNo, 3)) * 17) % 600,
                        DateAdd(day, -D.Days, DateAdd(day, DateDiff(day, 0, GetDate()), 0))),
       C.Id, D.Delflag
From DemoDoc D Inner Join Customer C On C.Code = D.Party
Where D.Kind = 'POSB' Order By D.Days Desc, D.DocNo
GO
Insert Into PosDetail (PosHeader, Product, ProductUnits, Quantity, Price, Total)
Select H.Id, P.Id, U.Id, L.Quantity, Coalesce(L.Price, PP.Price), Round(L.Quantity * Coalesce(L.Price, PP.Price), 2)
From DemoDocLine L
Inner Join PosHeader H On H.PosNo = L.DocNo
Inner Join Product P On P.Code = L.Product
Inner Join ProductUnits U On U.Product = P.Id And U.UnitName = L.UnitName
Left Join ProductPrice PP On PP.ProductUnits = U.Id And PP.PriceType = 19
Where L.Kind = 'POSB' Order By H.Id, L.Line
GO

-- ---------------------------------------------------------------- production

-- Gift baskets are packed in house: one open order, one finished and
-- cleared, one cancelled.
Insert Into BomHd (Code, Description, Product, ProductUnits, Quantity)
Select 'BOM-' + P.Code, N'สูตรจัด' + P.ThaiName, P.Id, U.Id, 1
From Product P Inner Join ProductUnits U On U.Product = P.Id And U.SmallUnitFlag = 'Y'
Where P.Code In ('G8001', 'G8002') Order By P.Id
GO
Insert Into WorkOrderHd (WorkOrderNo, WorkDate, Customer, SoHd, FinishedGoods, ProductUnits, Quantity, BomHd, Remark, Clear, Delflag)
Select W.OrderNo, DateAdd(day, -W.Days, DateAdd(day, DateDiff(day, 0, GetDate()), 0)), C.Id, Null, P.Id, U.Id, W.Qty, B.Id,
       W.Remark, W.Clear, W.Delflag
From (
  Select 'WO0001' OrderNo, 3 Days, 'C004' Customer, 'G8001' Product, 20 Qty, N'จัดกระเช้าของขวัญปีใหม่' Remark, 'N' Clear, 'N' Delflag From NullTable
  Union All Select 'WO0002', 25, 'C011', 'G8002', 10, N'กระเช้าสำหรับงานสัมมนา', 'Y', 'N' From NullTable
  Union All Select 'WO0003', 8, 'C002', 'G8002', 5, N'ลูกค้ายกเลิกคำสั่ง', 'N', 'Y' From NullTable
) W
Inner Join Customer C On C.Code = W.Customer
Inner Join Product P On P.Code = W.Product
Inner Join ProductUnits U On U.Product = P.Id And U.SmallUnitFlag = 'Y'
Left Join BomHd B On B.Product = P.Id
Order By W.OrderNo
GO
Insert Into MFGFinishDt (WorkOrderHd, Product, ProductUnits, FinishDate, Quantity, Fraction)
Select W.Id, W.FinishedGoods, W.ProductUnits, DateAdd(day, F.Days, W.WorkDate), F.Qty, 1
From WorkOrderHd W
Inner Join (
  Select 'WO0001' OrderNo, 1 Days, 8 Qty From NullTable
  Union All Select 'WO0002', 2, 6 From NullTable
  Union All Select 'WO0002', 4, 4 From NullTable
) F On F.OrderNo = W.WorkOrderNo
Order By W.Id, F.Days
GO
-- The manufacturing programs keep these figures as display texts.
Insert Into ProductonhandMFG (Product, Onhand, WorkOrderOH, PreIsQty, WKIsQty, OH_WKIsQty)
Select P.Id, X.Onhand, X.WorkOrderOH, X.PreIsQty, X.WKIsQty, X.OH_WKIsQty
From (
  Select 'G8001' Code, N'14 ชุด' Onhand, N'12 ชุด' WorkOrderOH, N'0 ชุด' PreIsQty, N'12 ชุด' WKIsQty, N'2 ชุด' OH_WKIsQty From NullTable
  Union All Select 'G8002', N'3 ชุด', N'0 ชุด', N'0 ชุด', N'0 ชุด', N'3 ชุด' From NullTable
) X
Inner Join Product P On P.Code = X.Code
Order By P.Id
GO

-- ---------------------------------------------------------------- numbering

Insert Into DocumentNo (DocCode, DocYear, Description, Prefix, LastNo, DocumentLength, AutoRun)
Select X.DocCode, Year(GetDate()), X.Description, X.DocCode, X.LastNo, 4, 'Y'
From (
  Select 'IV' DocCode, N'ใบกำกับภาษี/ใบแจ้งหนี้' Description, 140 LastNo From NullTable
  Union All Select 'MR', N'ใบรับสินค้า', 1008 From NullTable
  Union All Select 'PO', N'ใบสั่งซื้อ', 2 From NullTable
  Union All Select 'SO', N'ใบสั่งขาย', 2 From NullTable
  Union All Select 'PS', N'บิลขายสด', 130 From NullTable
  Union All Select 'PB', N'บิลขายสด (เครื่องที่ 2)', 115 From NullTable
  Union All Select 'WO', N'ใบสั่งผลิต', 3 From NullTable
) X
Order By X.DocCode
GO

-- ---------------------------------------------------------------- clean up

Drop Table DemoNumber
GO
Drop Table DemoDocLine
GO
Drop Table DemoDoc
GO
Drop Table DemoStock
GO
Drop Table DemoPromotion
GO
Drop Table DemoCustPrice
GO
Drop Table DemoAttr
GO
Drop Table DemoProduct
GO
Drop Table DemoPack
GO
Drop Table DemoCustomer
GO
Drop Table DemoGroup
GO

-- ---------------------------------------------------------------- product and service search

-- Layout 4 shows the codes of attribute groups 3 (storage) and 5 beside
-- each product: group 5 is the shelf the shop keeps it on.
Set IDENTITY_INSERT ProdAttrGroup On
GO
Insert Into ProdAttrGroup (Id, Code, Description, ProductType) Values (5, 'SHELF', N'ชั้นวางสินค้า', 'P')
GO
Set IDENTITY_INSERT ProdAttrGroup Off
GO
Insert Into ProdAttrCode (ProdAttrGroup, Code, Description) Values
  (5, 'FRONT', N'ชั้นหน้าร้าน'), (5, 'COUNTER', N'หน้าเคาน์เตอร์'), (5, 'BACK', N'คลังหลังร้าน')
GO
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode)
Select P.Id, C.Id, 'SHELF' + C.Code
From Product P
Inner Join Misc G On G.Id = P.PGroup
Inner Join ProdAttrCode C On C.ProdAttrGroup = 5
  And C.Code = Case When G.Code In ('DRINK', 'SNACK') Then 'FRONT' When G.Code = 'PERSONAL' Then 'COUNTER' Else 'BACK' End
Where P.ProductType = 'P' And G.Code In ('DRINK', 'SNACK', 'PERSONAL', 'HOUSE', 'GIFT')
Order By P.Id
GO
Insert Into productattr (Product, ProdAttrGroup, ProdAttrCode)
Select A.Product, C.ProdAttrGroup, C.Id
From ProductAttribute A Inner Join ProdAttrCode C On C.Id = A.ProdAttrCode
Where C.ProdAttrGroup = 5
Order By A.Id
GO

-- The new-year basket's orders, counted by hand for the manufacturing
-- layouts (in ชุด): SO0901 orders 10 and stays open, SO0902 ordered 3 and
-- is cleared; IV0901 (type B) delivers 4 of SO0901; IV0902 sells 2 without
-- an order and without cutting stock; IV0903 delivers 1 more of SO0901 and
-- completes IV0901's line. Layouts 6 to 8 show 10 - 4 = 6 awaiting
-- delivery, layout 9 counts 10 + 3 + 2 - 4 - 1 = 10. PO0901 orders 12 from
-- the basket maker and MR0901 receives 5 of them: 7 awaiting receipt.
Insert Into SoHd (SoNo, SoDate, Customer, Salesman, Remark, Delflag, Clear)
Select X.SoNo, DateAdd(day, -X.Days, DateAdd(day, DateDiff(day, 0, GetDate()), 0)), C.Id, C.Salesman, X.Remark, 'N', X.Clear
From (
  Select 'SO0901' SoNo, 6 Days, N'กระเช้าปีใหม่ส่งลูกค้าองค์กร' Remark, 'N' Clear From NullTable
  Union All Select 'SO0902', 40, N'กระเช้างานเลี้ยงรุ่น', 'Y' From NullTable
) X
Inner Join Customer C On C.Code = 'C004'
Order By X.SoNo
GO
Insert Into SoDt (SoHd, Product, ProductUnits, Quantity, Fraction, Price, Total, Clear)
Select H.Id, P.Id, U.Id, Case When H.SoNo = 'SO0901' Then 10 Else 3 End, U.Fraction, PP.Price,
       Case When H.SoNo = 'SO0901' Then 10 Else 3 End * PP.Price, H.Clear
From SoHd H
Inner Join Product P On P.Code = 'G8001'
Inner Join ProductUnits U On U.Product = P.Id And U.SmallUnitFlag = 'Y'
Inner Join ProductPrice PP On PP.ProductUnits = U.Id And PP.PriceType = 19
Where H.SoNo In ('SO0901', 'SO0902')
Order By H.Id
GO
Insert Into IvHd (IvNo, IvDate, IvType, Customer, Salesman, SoHd, NotCutStock, Remark, Delflag, Clear)
Select X.IvNo, DateAdd(day, -X.Days, DateAdd(day, DateDiff(day, 0, GetDate()), 0)), X.IvType, C.Id, C.Salesman,
       S.Id, X.NotCutStock, X.Remark, 'N', 'N'
From (
  Select 'IV0901' IvNo, 4 Days, 'B' IvType, 'SO0901' SoNo, 'N' NotCutStock, N'ส่งกระเช้างวดแรก' Remark From NullTable
  Union All Select 'IV0902', 3, 'N', Null, 'Y', N'ขายกระเช้าตัวอย่าง ไม่ตัดสต็อก' From NullTable
  Union All Select 'IV0903', 1, 'N', 'SO0901', 'N', N'ส่งกระเช้าเพิ่ม' From NullTable
) X
Inner Join Customer C On C.Code = 'C004'
Left Join SoHd S On S.SoNo = X.SoNo
Order By X.IvNo
GO
Insert Into IvDt (IvHd, Product, ProductUnits, SoDt, IvDtB, Quantity, Fraction, Price, Total)
Select H.Id, P.Id, U.Id, D.Id, Null, X.Qty, U.Fraction, PP.Price, X.Qty * PP.Price
From (
  Select 'IV0901' IvNo, 4 Qty From NullTable
  Union All Select 'IV0902', 2 From NullTable
  Union All Select 'IV0903', 1 From NullTable
) X
Inner Join IvHd H On H.IvNo = X.IvNo
Inner Join Product P On P.Code = 'G8001'
Inner Join ProductUnits U On U.Product = P.Id And U.SmallUnitFlag = 'Y'
Inner Join ProductPrice PP On PP.ProductUnits = U.Id And PP.PriceType = 19
Left Join SoDt D On D.SoHd = H.SoHd And D.Product = P.Id
Order By X.IvNo
GO
Update IvDt Set IvDtB = (Select Min(B.Id) From IvDt B Inner Join IvHd BH On BH.Id = B.IvHd Where BH.IvNo = 'IV0901')
Where IvHd = (Select Id From IvHd Where IvNo = 'IV0903')
GO
Insert Into PoHd (PoNo, PoDate, Vendor, Remark, Delflag, Clear)
Select 'PO0901', DateAdd(day, -10, DateAdd(day, DateDiff(day, 0, GetDate()), 0)), V.Id, N'สั่งจัดกระเช้าปีใหม่', 'N', 'N'
From Vendor V Where V.Code = (Select Min(Code) From Vendor)
GO
Insert Into PoDt (PoHd, Product, ProductUnits, Quantity, Fraction, Price, Total, Clear)
Select H.Id, P.Id, U.Id, 12, U.Fraction, 500, 6000, 'N'
From PoHd H
Inner Join Product P On P.Code = 'G8001'
Inner Join ProductUnits U On U.Product = P.Id And U.SmallUnitFlag = 'Y'
Where H.PoNo = 'PO0901'
GO
Insert Into MrHd (MrNo, MrDate, Vendor, Remark, Delflag)
Select 'MR0901', DateAdd(day, -2, DateAdd(day, DateDiff(day, 0, GetDate()), 0)), H.Vendor, N'รับกระเช้างวดแรก', 'N'
From PoHd H Where H.PoNo = 'PO0901'
GO
Insert Into MrDt (MrHd, Product, ProductUnits, PoDt, Quantity, Fraction, Price, Total)
Select M.Id, D.Product, D.ProductUnits, D.Id, 5, D.Fraction, D.Price, 5 * D.Price
From MrHd M
Inner Join PoHd H On H.PoNo = 'PO0901'
Inner Join PoDt D On D.PoHd = H.Id
Where M.MrNo = 'MR0901'
GO

-- A picture name of three characters: its file is drawn (without an
-- extension, as JPEG), but the product search shows no picture for so short
-- a name.
Update Product Set Picture1 = 'G82', Picture1Desc = N'กระเช้าผลไม้' Where Code = 'G8002'
GO

-- ---------------------------------------------------------------- production detail

-- What the production-order detail window lists for the gift baskets
-- (G8001: two open orders, one of them against a sales order and partly
-- finished; G8003: made to order and counted only by the set it is sold in,
-- so it has no small unit and its totals name none).
Insert Into Product (Code, ThaiName, EngName, PosName, ProductType, PType, PGroup, ProductGroup, TaxCode, DefaultWh,
  PriceIE, PrintFrac, UseSerial, LotControl, PriceByVolumn, Negative, Blocked, MasterCode, ProductFree, Remark)
Select 'G8003', N'กระเช้าของขวัญ สั่งทำพิเศษ', N'Gift Basket, Made to Order', N'กระเช้าสั่งทำพิเศษ', 'P',
       P.PType, P.PGroup, P.ProductGroup, P.TaxCode, P.DefaultWh, 'I', 'N', 'N', 'N', 'N', 'N', 'N', 'N', 'N',
       N'จัดตามสั่งเป็นชุดเท่านั้น ไม่แยกขาย'
From Product P Where P.Code = 'G8001'
GO
Insert Into ProductUnits (Product, UnitName, UnitDesc, Fraction, PurcPrice, LabourCost, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag)
Select P.Id, N'ชุดใหญ่', N'ชุดสั่งทำ', 1, Null, 0, 'Y', 'N', 'Y', 'N' From Product P Where P.Code = 'G8003'
GO
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price)
Select U.Product, U.Id, T.Id, Case T.Code When '02' Then 1350 When '03' Then 1425 When '04' Then 1275 Else 1500 End
From ProductUnits U
Inner Join Product P On P.Id = U.Product
Cross Join Misc T
Where P.Code = 'G8003' And T.GroupCode = 'PRICETYPE'
Order By T.Id
GO
Insert Into BomHd (Code, Description, Product, ProductUnits, Quantity)
Select 'BOM-G8003', N'สูตรจัดกระเช้าสั่งทำพิเศษ', P.Id, U.Id, 1
From Product P Inner Join ProductUnits U On U.Product = P.Id Where P.Code = 'G8003'
GO
Insert Into WorkOrderHd (WorkOrderNo, WorkDate, Customer, SoHd, FinishedGoods, ProductUnits, Quantity, BomHd, Remark, Clear, Delflag)
Select W.OrderNo, DateAdd(day, -W.Days, DateAdd(day, DateDiff(day, 0, GetDate()), 0)), C.Id,
       Case When W.WithOrder = 'Y' Then (Select Min(S.Id) From SoHd S Where S.Customer = C.Id) End,
       P.Id, U.Id, W.Qty, B.Id, W.Remark, W.Clear, W.Delflag
From (
  Select 'WO0004' OrderNo, 1 Days, 'C001' Customer, 'G8001' Product, 1250 Qty, 'Y' WithOrder, N'กระเช้าปีใหม่ลูกค้าองค์กร' Remark, 'N' Clear, 'N' Delflag From NullTable
  Union All Select 'WO0005', 6, 'C002', 'G8003', 4, 'N', N'จัดตามแบบที่ลูกค้าเลือก', 'N', 'N' From NullTable
  Union All Select 'WO0006', 30, 'C002', 'G8003', 2, 'N', N'ส่งมอบแล้ว', 'Y', 'N' From NullTable
) W
Inner Join Customer C On C.Code = W.Customer
Inner Join Product P On P.Code = W.Product
Inner Join ProductUnits U On U.Product = P.Id And U.StockUnitFlag = 'Y'
Left Join BomHd B On B.Product = P.Id
Order By W.OrderNo
GO
Insert Into MFGFinishDt (WorkOrderHd, Product, ProductUnits, FinishDate, Quantity, Fraction)
Select W.Id, W.FinishedGoods, W.ProductUnits, DateAdd(day, F.Days, W.WorkDate), F.Qty, 1
From WorkOrderHd W
Inner Join (
  Select 'WO0004' OrderNo, 0 Days, 500 Qty From NullTable
  Union All Select 'WO0004', 1, 250.5 From NullTable
  Union All Select 'WO0005', 2, 1 From NullTable
  Union All Select 'WO0006', 10, 2 From NullTable
) F On F.OrderNo = W.WorkOrderNo
Order By W.Id, F.Days
GO
Update DocumentNo Set LastNo = 6 Where DocCode = 'WO'
GO
