// Makes an Access (Jet 4, Access 2000 format) house file laid out as the old desk program keeps it:
// the nine tables, their columns in their fixed order, typed as an Access designer would, with rows.
//
//   java -cp jackcess.jar:commons-lang3.jar:commons-logging.jar MakeOldHouse.java OUT.mdb VARIANT [STAYS] [PASSWORD]
//
// VARIANT
//   plain    column names as the windows caption them; money as Double; the database password set
//   renamed  the columns no statement names carry other names, money as Currency, 公司配置 keyed by
//            an AutoNumber; odd but legal values (NULL texts, empty texts, quotes, a stay naming a
//            deleted room, a room naming a missing floor, two free rooms with one number, 16-bit
//            extremes, a date with no time, a date before 1900)
//   empty    the nine tables, one operator, one company row, nothing else
//   types    plain with the other storage types a designer may pick: an Integer key (楼层), Byte and
//            Long 16-bit columns, money as Single, Decimal and Long, a room number in a Memo, a
//            memo longer than a page, quotes and line breaks, seconds, a date before 1899-12-30, rows
//            deleted and rows moved to another page by an update
//   missing  plain without the table 拔款
//   fewcols  plain whose 交款 lacks its last column
//   wrongtype plain whose 旅客入住.入住时间 is Text
//   toolarge plain whose 旅客入住.预付款 is Long and holds 40000 in the stay keyed 2
//   dupkey   plain whose 楼层ID is a plain Long holding 2 twice
// STAYS      completed stays to write into 旅客退房 (default 40); each one seeded from its key
// PASSWORD   the database password written into the header ("-" for none); default 58316094
import com.healthmarketscience.jackcess.*;
import com.healthmarketscience.jackcess.impl.*;

import java.io.File;
import java.io.RandomAccessFile;
import java.math.BigDecimal;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.charset.StandardCharsets;
import java.time.LocalDateTime;
import java.util.*;

public class MakeOldHouse {
    static boolean renamed;
    static String variant = "";
    static boolean is(String v) { return variant.equals(v); }

    static ColumnBuilder key(String name) {
        return new ColumnBuilder(name, DataType.LONG).setAutoNumber(true);
    }
    static ColumnBuilder text(String name) { return new ColumnBuilder(name, DataType.TEXT).setLength(100); }
    static ColumnBuilder memo(String name) { return new ColumnBuilder(name, DataType.MEMO); }
    static ColumnBuilder int16(String name) { return new ColumnBuilder(name, DataType.INT); }
    static ColumnBuilder money(String name) {
        return new ColumnBuilder(name, renamed ? DataType.MONEY : DataType.DOUBLE);
    }
    static ColumnBuilder typed(String name, DataType type) { return new ColumnBuilder(name, type); }
    static ColumnBuilder decimal(String name, int precision, int scale) {
        return new ColumnBuilder(name, DataType.NUMERIC).setPrecision(precision).setScale(scale);
    }
    static ColumnBuilder when(String name) { return new ColumnBuilder(name, DataType.SHORT_DATE_TIME); }
    static String n(String plain, String other) { return renamed ? other : plain; }
    static Object m(double v) { return renamed ? new BigDecimal(String.valueOf(v)) : (Object) v; }

    static Table table(Database db, String name, ColumnBuilder... cols) throws Exception {
        TableBuilder tb = new TableBuilder(name);
        for (ColumnBuilder c : cols) tb.addColumn(c);
        return tb.toTable(db);
    }

    public static void main(String[] a) throws Exception {
        if (a.length < 2) {
            System.err.println("usage: MakeOldHouse OUT.mdb plain|renamed|empty [STAYS] [PASSWORD]");
            System.exit(2);
        }
        File out = new File(a[0]);
        variant = a[1];
        renamed = variant.equals("renamed");
        boolean empty = variant.equals("empty");
        int stays = a.length > 2 ? Integer.parseInt(a[2]) : 40;
        String password = a.length > 3 ? a[3] : "58316094";
        out.delete();

        Database db = new DatabaseBuilder(out).setFileFormat(Database.FileFormat.V2000).create();
        db.setDateTimeType(DateTimeType.LOCAL_DATE_TIME);

        Table ops = table(db, "操作用户", key("用户ID"), text("用户名称"), text("登陆密码"),
                text(n("用户权限", "权限")));
        Table company = table(db, "公司配置",
                renamed ? key("ID") : int16("编号"),
                text("企业名称"), text(n("法人代表", "法人")), text("电话"), text("传真"),
                text(n("电子邮件", "Email")), text("地址"), text("邮政编码"), memo(n("企业简介", "简介")));
        Table floors = table(db, "楼层", is("types") ? int16("楼层ID") : is("dupkey") ? typed("楼层ID", DataType.LONG)
                : key("楼层ID"), text("楼层名称"));
        Table rooms = table(db, "房间", key("房间ID"), is("types") ? memo("房间号") : text("房间号"),
                text(n("房间名称", "名称")), text(n("房间类型", "类型")), text(n("所属楼层", "楼层")),
                is("types") ? typed("标准价格", DataType.FLOAT) : money(n("标准价格", "标准价")),
                is("types") ? decimal("会员价格", 10, 2) : money(n("会员价格", "会员价")),
                is("types") ? typed("房间状态", DataType.BYTE) : int16("房间状态"));
        Table inHouse = table(db, "旅客入住", key("入住ID"), text(n("旅客姓名", "姓名")), text("旅客单位"),
                text("证件名称"), text("证件号码"), is("wrongtype") ? text("入住时间") : when("入住时间"),
                is("types") ? typed("计划入住天数", DataType.LONG) : int16("计划入住天数"), int16("入住人数"),
                int16("房间ID"), is("types") || is("toolarge") ? typed("预付款", DataType.LONG) : int16("预付款"),
                memo(n("备注信息", "备注")));
        Table booked = table(db, "旅客预订", key("预订ID"), text(n("旅客姓名", "姓名")), text("旅客单位"),
                text("证件名称"), text("证件号码"), when(n("入住时间", "预订时间")), int16("计划入住天数"),
                int16("入住人数"), int16("房间ID"), int16("预付款"), memo(n("备注信息", "备注")));
        Table done = table(db, "旅客退房", key("退房ID"), text(n("旅客姓名", "姓名")), text("旅客单位"),
                text("证件名称"), text("证件号码"), when("入住时间"), int16("计划入住天数"), int16("入住人数"),
                int16("房间ID"), int16("预付款"), when("退房时间"), int16("实际入住天数"), int16("实际金额"),
                int16("应收款"), int16("应退款"), memo(n("备注信息", "备注")));
        Table takings = is("fewcols") ? table(db, "交款", key("交款ID"), when("交款时间"), money("交款金额"))
                : table(db, "交款", key("交款ID"), when("交款时间"),
                        is("types") ? typed("交款金额", DataType.LONG) : money("交款金额"), text("交款人"));
        Table payouts = is("missing") ? null : table(db, "拔款", key("拔款ID"), when("拔款时间"),
                is("types") ? decimal("拔款金额", 18, 4) : money("拔款金额"), text("拔款人"));

        ops.addRow(null, "admin", "admin", "Z:abcdef");
        StringBuilder longProfile = new StringBuilder("二十间客房，\r\n临湖。");
        for (int i = 0; is("types") && i < 600; i++) longProfile.append("第").append(i).append("段：湖光山色。");
        company.addRow(renamed ? null : (Object) (short) 1, "临江客栈", "王立", "0571-8888 6666", null,
                "desk@example.cn", "杭州市西湖区南山路 12 号", "310002", longProfile.toString());
        if (empty) { close(db, out, password); return; }

        ops.addRow(null, "前台小李", "li2006", "Z:bce");
        ops.addRow(null, "会计", "", "Z:f");
        ops.addRow(null, "Guest", "Guest", "Z:");

        String[] floorNames = {"一楼", "二楼", "三楼"};
        for (int f = 0; f < floorNames.length; f++) {
            Object floorKey = is("types") ? (Object) (short) (f + 1) : is("dupkey") ? (Object) Math.min(f + 1, 2) : null;
            floors.addRow(floorKey, floorNames[f]);
        }

        // rooms 1..12; statuses follow the stays and reservations below
        int[] status = {2, 2, 1, 3, 1, 1, 2, 1, 3, 1, 1, 1};
        for (int r = 1; r <= 12; r++) {
            String floor = floorNames[(r - 1) / 4 % 3];
            Object price = is("types") ? (Object) (float) (120.1 + 10 * r) : m(120 + 10 * r + 0.5 * (r % 2));
            Object member = is("types") ? new BigDecimal("100.05").add(BigDecimal.valueOf(10L * r)) : m(100 + 10 * r);
            Object state = is("types") ? (Object) (byte) status[r - 1] : (short) status[r - 1];
            rooms.addRow(null, String.valueOf(100 * ((r - 1) / 4 + 1) + (r - 1) % 4 + 1), "房" + r,
                    r % 3 == 0 ? "大床房" : "标准间", floor, price, member, state);
        }
        if (renamed) {
            rooms.addRow(null, "401", "顶楼", "套房", "四楼", m(388.0), m(300.0), (short) 1); // floor that does not exist
            rooms.addRow(null, "401", null, null, null, m(0.0), m(0.0), (short) 1);         // a second free 401
        }

        LocalDateTime now = LocalDateTime.of(2026, 11, 30, 14, 5);
        boolean longs = is("types") || is("toolarge");
        Object when1 = is("wrongtype") ? "2026-11-28 14:05" : is("types") ? now.minusDays(2).withSecond(37) : now.minusDays(2);
        inHouse.addRow(null, "张三", "浙江大学", "身份证", "330106199001011234", when1,
                is("types") ? (Object) 3 : (short) 3, (short) 1, (short) 1, longs ? (Object) 500 : (short) 500,
                is("types") ? "他说：\"要无烟房\"\r\n'谢谢'" : "要无烟房");
        inHouse.addRow(null, "O'Brien", "", "护照", "E1234567", is("wrongtype") ? "昨天" : now.minusHours(20),
                is("types") ? (Object) 1 : (short) 1, (short) 2, (short) 2,
                is("toolarge") ? (Object) 40000 : longs ? (Object) 0 : (short) 0, null);
        Object when3 = is("wrongtype") ? null : is("types") ? LocalDateTime.of(1899, 12, 29, 6, 0)
                : now.minusDays(1).withHour(0).withMinute(0);
        inHouse.addRow(null, "李四", null, "身份证", null, when3,
                is("types") ? (Object) 2 : (short) 2, (short) 1, (short) 7, longs ? (Object) 32767 : (short) 32767,
                renamed ? "" : "押金已收");
        if (renamed) // a stay whose room was deleted long ago
            inHouse.addRow(null, "赵六", "个人", "身份证", "110101198001010011", now.minusDays(40), (short) -32768,
                    (short) 1, (short) 99, (short) -5, null);

        booked.addRow(null, "王五", "阿里巴巴", "身份证", "330102198512120022", now.plusDays(3), (short) 2,
                (short) 2, (short) 4, (short) 200, "晚到");
        booked.addRow(null, "陈七", "个人", "军官证", "军字 12345", now.plusDays(10).withHour(0).withMinute(0),
                (short) 1, (short) 1, (short) 9, (short) 0, null);

        Random rnd = new Random(7);
        String[] names = {"刘", "陈", "杨", "黄", "周", "吴", "徐", "孙", "马", "朱"};
        String[] given = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳"};
        String[] units = {"个人", "浙江大学", "阿里巴巴", "中国移动", "杭州银行", ""};
        LocalDateTime first = LocalDateTime.of(2019, 1, 1, 12, 0);
        List<Object[]> batch = new ArrayList<>();
        for (int i = 0; i < stays; i++) {
            Random r = new Random(i * 7919L + 17);
            int room = 1 + r.nextInt(12);
            String name = names[r.nextInt(names.length)] + given[r.nextInt(given.length)]
                    + (r.nextInt(3) == 0 ? given[r.nextInt(given.length)] : "");
            LocalDateTime in = first.plusMinutes((long) i * 2 * 60 * 24 / Math.max(1, stays / 1000 + 1) + r.nextInt(600));
            int planned = 1 + r.nextInt(5), actual = r.nextInt(7), price = 120 + 10 * room;
            int prepaid = 100 * r.nextInt(6), amount = actual * price;
            int due = Math.max(0, amount - prepaid), back = Math.max(0, prepaid - amount);
            batch.add(new Object[]{null, name, units[r.nextInt(units.length)], "身份证",
                    String.format("3301%014d", (long) r.nextInt(1_000_000_000) * 10 + i % 10), in, (short) planned,
                    (short) (1 + r.nextInt(3)), (short) room, (short) prepaid,
                    in.plusDays(actual).withHour(0).withMinute(0), (short) actual, (short) amount, (short) due,
                    (short) back, r.nextInt(4) == 0 ? "发票已开" : null});
            if (batch.size() == 5000) { done.addRows(batch); batch.clear(); }
        }
        if (renamed) {
            batch.add(new Object[]{null, "旧账", "", "", "", LocalDateTime.of(1899, 12, 30, 0, 0), (short) 0,
                    (short) 0, (short) 3, (short) 0, LocalDateTime.of(1899, 12, 30, 0, 0), (short) 0, (short) 0,
                    (short) 0, (short) 0, "年份未填的旧记录"});
        }
        if (!batch.isEmpty()) done.addRows(batch);
        if (is("types")) {
            // Rows deleted, and rows grown past their page's room (moved, a pointer left behind).
            Cursor c = CursorBuilder.createCursor(done);
            while (c.moveToNextRow()) {
                int k = (Integer) c.getCurrentRow().get("退房ID");
                if (k % 3 == 0) c.deleteCurrentRow();
                else if (k % 5 == 0) c.setCurrentRowValue(done.getColumn("旅客单位"), "杭州西湖国际会议中心附属服务有限公司第" + k + "分公司（长名称）".repeat(3));
            }
            inHouse.addRow(null, "已退房", null, null, null, now, 1, (short) 1, (short) 3, 0, null);
            Cursor s = CursorBuilder.createCursor(inHouse);
            while (s.moveToNextRow()) if ("已退房".equals(s.getCurrentRow().get("旅客姓名"))) s.deleteCurrentRow();
        }

        if (is("fewcols")) {
            takings.addRow(null, now.minusDays(1).withHour(22).withMinute(30), m(1260.5));
        } else if (is("types")) {
            takings.addRow(null, now.minusDays(1).withHour(22).withMinute(30), 1260, "前台小李");
            takings.addRow(null, now.minusDays(2).withHour(22).withMinute(0), -980, "王'会计");
        } else {
            takings.addRow(null, now.minusDays(1).withHour(22).withMinute(30), m(1260.5), "前台小李");
            takings.addRow(null, now.minusDays(2).withHour(22).withMinute(0), m(980.0), "王'会计");
        }
        if (is("types")) {
            payouts.addRow(null, now.minusDays(1).withHour(9).withMinute(15), new BigDecimal("200.1250"), "会计");
            payouts.addRow(null, now.withHour(0).withMinute(0), new BigDecimal("-30.2500"), null);
        } else if (payouts != null) {
            payouts.addRow(null, now.minusDays(1).withHour(9).withMinute(15), m(200.0), "会计");
            if (renamed) payouts.addRow(null, now.withHour(0).withMinute(0), m(-30.25), null);
        }

        close(db, out, password);
    }

    // Writes the database password into the header as the Access engine does (Jet 4: UCS-2, masked by
    // the creation date and by the header's fixed mask); the engine checks it, no page is encrypted.
    static void close(Database db, File out, String password) throws Exception {
        JetFormat fmt = ((DatabaseImpl) db).getFormat();
        db.close();
        if (password.equals("-")) return;
        try (RandomAccessFile f = new RandomAccessFile(out, "rw")) {
            byte[] page = new byte[fmt.PAGE_SIZE];
            f.readFully(page);
            byte[] hm = fmt.HEADER_MASK;
            for (int i = 0; i < hm.length; i++) page[fmt.OFFSET_MASKED_HEADER + i] ^= hm[i];
            ByteBuffer buf = ByteBuffer.wrap(page).order(ByteOrder.LITTLE_ENDIAN);
            byte[] mask = DatabaseImpl.getPasswordMask(buf, fmt);
            byte[] pwd = new byte[fmt.SIZE_PASSWORD];
            byte[] text = password.getBytes(StandardCharsets.UTF_16LE);
            System.arraycopy(text, 0, pwd, 0, Math.min(text.length, pwd.length));
            for (int i = 0; i < pwd.length; i++) {
                if (mask != null) pwd[i] ^= mask[i % mask.length];
                page[fmt.OFFSET_PASSWORD + i] = pwd[i];
            }
            for (int i = 0; i < hm.length; i++) page[fmt.OFFSET_MASKED_HEADER + i] ^= hm[i];
            f.seek(0);
            f.write(page);
        }
        try (Database check = new DatabaseBuilder(out).setReadOnly(true).open()) {
            if (!password.equals(check.getDatabasePassword()))
                throw new IllegalStateException("password not read back: " + check.getDatabasePassword());
        }
    }
}
