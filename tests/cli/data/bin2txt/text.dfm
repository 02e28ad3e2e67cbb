object Form1: TForm1
  Caption = 'Form1'
end
