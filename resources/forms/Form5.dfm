object Form5: TForm5
  Left = 0
  Top = 0
  BorderIcons = []
  BorderStyle = bsSingle
  Caption = '选项'
  ClientHeight = 537
  ClientWidth = 561
  Position = poMainFormCenter
  OnCreate = FormCreate
  object kxVelara1: TkxVelara
    BorderIcons = []
    HideCaptionButtons = True
    SkinData = Form1.kxSkinData1
    MenusSkinData = Form1.kxSkinData1
    ClientWidth = 561
    ClientHeight = 537
  end
  object kxSkinPanel3: TkxSkinGroupBox
    Left = 12
    Top = 12
    Width = 537
    Height = 100
    Caption = '转换工作完成后'
    SkinData = Form1.kxSkinData1
    object kxSkinCheckRadioBox1: TkxSkinCheckRadioBox
      Left = 24
      Top = 36
      Width = 240
      Height = 22
      Caption = '自动打开输出文件夹'
      SkinData = Form1.kxSkinData1
      SkinDataName = 'radiobox'
      Radio = True
      GroupIndex = 1
      Checked = True
    end
    object kxSkinCheckRadioBox2: TkxSkinCheckRadioBox
      Left = 284
      Top = 36
      Width = 240
      Height = 22
      Caption = '自动关闭计算机'
      SkinData = Form1.kxSkinData1
      SkinDataName = 'radiobox'
      Radio = True
      GroupIndex = 1
    end
    object kxSkinCheckRadioBox4: TkxSkinCheckRadioBox
      Left = 24
      Top = 66
      Width = 240
      Height = 22
      Caption = ' 播放提示音乐'
      SkinData = Form1.kxSkinData1
      SkinDataName = 'radiobox'
      Radio = True
      GroupIndex = 1
    end
    object kxSkinCheckRadioBox5: TkxSkinCheckRadioBox
      Left = 284
      Top = 66
      Width = 240
      Height = 22
      Caption = '不进行任何操作'
      SkinData = Form1.kxSkinData1
      SkinDataName = 'radiobox'
      Radio = True
      GroupIndex = 1
    end
  end
  object kxSkinPanel1: TkxSkinGroupBox
    Left = 12
    Top = 124
    Width = 537
    Height = 72
    Caption = '如果输出文件存在时'
    SkinData = Form1.kxSkinData1
    object kxSkinCheckRadioBox3: TkxSkinCheckRadioBox
      Left = 24
      Top = 38
      Width = 240
      Height = 22
      Caption = '直接覆盖输出文件'
      SkinData = Form1.kxSkinData1
      SkinDataName = 'radiobox'
      Radio = True
      GroupIndex = 2
    end
    object kxSkinCheckRadioBox6: TkxSkinCheckRadioBox
      Left = 284
      Top = 38
      Width = 240
      Height = 22
      Caption = '自动重命名输出文件'
      SkinData = Form1.kxSkinData1
      SkinDataName = 'radiobox'
      Radio = True
      GroupIndex = 2
      Checked = True
    end
  end
  object kxSkinPanel2: TkxSkinGroupBox
    Left = 12
    Top = 206
    Width = 537
    Height = 136
    Caption = '转换参数'
    SkinData = Form1.kxSkinData1
    object kxSkinStdLabel1: TkxSkinStdLabel
      Left = 24
      Top = 36
      Width = 480
      Height = 20
      AutoSize = False
      Layout = tlCenter
      Caption = '程序最大运行线程数--（同时进行转换的文件个数）'
      SkinData = Form1.kxSkinData1
    end
    object kxSkinComboBox2: TkxSkinComboBox
      Left = 24
      Top = 62
      Width = 120
      Height = 22
      SkinData = Form1.kxSkinData1
      Style = kxcbFixedStyle
      DropDownCount = 10
      Items.Strings = (
        '1'
        '2'
        '3'
        '4'
        '5'
        '6'
        '7'
        '8'
        '9'
        '10'
        '11'
        '12'
        '13'
        '14'
        '15'
        '16'
        '17'
        '18'
        '19')
      ItemIndex = 0
    end
    object kxSkinCheckRadioBox7: TkxSkinCheckRadioBox
      Left = 164
      Top = 62
      Width = 340
      Height = 22
      Visible = False
      Caption = '启用多线程模式   （同时进行转换的视频个数）'
      SkinData = Form1.kxSkinData1
      Checked = True
      OnClick = kxSkinCheckRadioBox7Click
    end
    object kxSkinCheckRadioBox8: TkxSkinCheckRadioBox
      Left = 24
      Top = 98
      Width = 300
      Height = 22
      Caption = '转换时进行实时视频预览'
      SkinData = Form1.kxSkinData1
      OnClick = kxSkinCheckRadioBox8Click
    end
  end
  object kxSkinPanel4: TkxSkinGroupBox
    Left = 12
    Top = 352
    Width = 537
    Height = 100
    Caption = '转换时CPU利用方式'
    SkinData = Form1.kxSkinData1
    object kxSkinCheckRadioBox9: TkxSkinCheckRadioBox
      Left = 24
      Top = 36
      Width = 240
      Height = 22
      Caption = '系统空闲时进行'
      SkinData = Form1.kxSkinData1
      SkinDataName = 'radiobox'
      Radio = True
      GroupIndex = 3
    end
    object kxSkinCheckRadioBox10: TkxSkinCheckRadioBox
      Left = 284
      Top = 36
      Width = 240
      Height = 22
      Caption = '最低优先级进行'
      SkinData = Form1.kxSkinData1
      SkinDataName = 'radiobox'
      Radio = True
      GroupIndex = 3
    end
    object kxSkinCheckRadioBox11: TkxSkinCheckRadioBox
      Left = 24
      Top = 66
      Width = 240
      Height = 22
      Caption = '较低优先级进行'
      SkinData = Form1.kxSkinData1
      SkinDataName = 'radiobox'
      Radio = True
      GroupIndex = 3
    end
    object kxSkinCheckRadioBox12: TkxSkinCheckRadioBox
      Left = 284
      Top = 66
      Width = 240
      Height = 22
      Caption = '正常优先级进行'
      SkinData = Form1.kxSkinData1
      SkinDataName = 'radiobox'
      Radio = True
      GroupIndex = 3
      Checked = True
    end
  end
  object kxSkinButton6: TkxSkinButton
    Left = 349
    Top = 484
    Width = 90
    Height = 28
    Caption = '确定'
    SkinData = Form1.kxSkinData1
    OnClick = kxSkinButton6Click
  end
  object kxSkinButton1: TkxSkinButton
    Left = 459
    Top = 484
    Width = 90
    Height = 28
    Caption = '取消'
    SkinData = Form1.kxSkinData1
    OnClick = kxSkinButton1Click
  end
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 185
    Height = 41
    Visible = False
    object Button1: TButton
      Left = 8
      Top = 8
      Width = 75
      Height = 25
      Caption = '读取ini'
      OnClick = Button1Click
    end
    object Button2: TButton
      Left = 96
      Top = 8
      Width = 75
      Height = 25
      Caption = '写ini'
      OnClick = Button2Click
    end
  end
end
